#include "app/appicon.h"
#include "app/mainwindow.h"
#include "app/translation.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("quorvane"));
    // "windowsvista" exists only on Windows; elsewhere the platform default stays.
    if (QStyle *style = QStyleFactory::create(QStringLiteral("windowsvista")))
        QApplication::setStyle(style);
    QApplication::setWindowIcon(appIcon());
    installQtChineseTranslation(&app);

    MainWindow window;
    window.show();
    return app.exec();
}
