// The yardstick for Quorvane's start-up: a bare Qt Widgets window set up the
// way Quorvane's entry point sets up the application (style, icon,
// translation), loading the same libraries and showing the same captions in
// the same kinds of widgets, but without Quorvane's tables, editors, state or
// log.
#include "core/platform/translation.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("io.github.quorvane_classroom.quorvane"));
    if (QStyle *style = QStyleFactory::create(QStringLiteral("windowsvista")))
        QApplication::setStyle(style);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app_icon.ico")));
    installQtChineseTranslation(&app);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvane"));
    window.setMinimumSize(1004, 753);
    for (const char *title : {"文件", "设置", "帮助"})
        window.menuBar()->addMenu(QString::fromUtf8(title));

    // Each caption in the kind of widget that shows it in Quorvane.
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    auto *topRow = new QHBoxLayout;
    topRow->addWidget(new QGroupBox(QStringLiteral("分组结果")), 2);
    topRow->addWidget(new QGroupBox(QStringLiteral("系统日志")), 1);
    layout->addLayout(topRow, 1);
    auto *buttonRow = new QHBoxLayout;
    for (const char *caption : {"生成分组", "人员检查", "要求检查", "重置"})
        buttonRow->addWidget(new QPushButton(QString::fromUtf8(caption)));
    layout->addLayout(buttonRow);
    auto *requirements = new QGroupBox(QStringLiteral("要求条件管理"));
    auto *grid = new QGridLayout(requirements);
    grid->addWidget(new QLabel(QStringLiteral("要求类型:")), 0, 0);
    grid->addWidget(new QPushButton(QStringLiteral("添加要求")), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("姓名(多个用空格分隔):")), 1, 0);
    grid->addWidget(new QPushButton(QStringLiteral("移除选中")), 1, 2);
    layout->addWidget(requirements, 1);
    window.setCentralWidget(central);
    window.statusBar()->addWidget(new QLabel(QStringLiteral("就绪")));
    window.show();
    return app.exec();
}
