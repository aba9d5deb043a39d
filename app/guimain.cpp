#include "app/guimain.h"

#include "ui/window/appicon.h"
#include "ui/window/mainwindow.h"
#include "app/nodisplay.h"
#include "core/platform/translation.h"
#include "cli/commandline.h"
#include "core/storage/appdirectory.h"
#include "print/planpainter.h"
#include "core/model/seatingplan.h"
#include "core/workbook/seatplanexport.h"
#include "core/update/releaseinfo.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>

namespace {

// Drawing a page needs a QGuiApplication; the offscreen platform serves it
// with or without a display.
std::unique_ptr<QCoreApplication> makeDrawingApplication(int &argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

QString savePlanPdf(const QString &path, const ClassModel &model, PlanView view)
{
    return saveSeatingPlanPdf(path, seatingPlanOf(model, SeatPlan::planDate()), view);
}

} // namespace

int quorvane_window_main(int argc, char *argv[])
{
    // The window without a display: one line and exit code 1, not an abort.
    NoDisplayGuard noDisplay;
    QApplication app(argc, argv);
    noDisplay.release();
    // Qt has taken its own options; anything left is not understood.
    if (QApplication::arguments().size() > 1)
        return CommandLine::refuseWindowArguments(QApplication::arguments());
    QApplication::setApplicationName(kApplicationName);
    QApplication::setApplicationVersion(ReleaseInfo::kCurrentVersion);

    QApplication::setDesktopFileName(QStringLiteral("io.github.quorvane_classroom.quorvane"));
    // "windowsvista" exists only on Windows; elsewhere the platform default stays.
    if (QStyle *style = QStyleFactory::create(QStringLiteral("windowsvista")))
        QApplication::setStyle(style);
    QApplication::setWindowIcon(appIcon());
    installQtChineseTranslation(&app);

    MainWindow window;
    window.show();
    return app.exec();
}

int quorvane_drawing_command_main(int argc, char *argv[])
{
    static const CommandLine::PageDrawing drawing{makeDrawingApplication, savePlanPdf};
    return CommandLine::run(argc, argv, &drawing);
}
