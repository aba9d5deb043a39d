#include "app/mainwindow.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("quorvane"));
    if (QStyle *style = QStyleFactory::create(QStringLiteral("windowsvista")))
        QApplication::setStyle(style);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app_icon.ico")));

    // Standard buttons read 确定/是/否 like the rest of the interface; without
    // the translation they stay in English and everything else still works.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    MainWindow window;
    window.show();
    return app.exec();
}
