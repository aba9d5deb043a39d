#include "app/appicon.h"
#include "app/mainwindow.h"
#include "app/nodisplay.h"
#include "app/translation.h"
#include "app/cli/commandline.h"
#include "config/appdirectory.h"
#include "update/releaseinfo.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    // Commands, --help and --version need no display: they are told apart
    // before any GUI object exists.
    if (CommandLine::wanted(argc, argv))
        return CommandLine::run(argc, argv);

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
