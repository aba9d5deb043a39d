// The yardstick for Quorvane's start-up: a bare Qt Widgets window set up the
// way Quorvane's entry point sets up the application (style, icon,
// translation), linked against the same libraries and showing the same
// captions, but with none of Quorvane's widgets, state or log.
#include "app/translation.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("quorvane"));
    if (QStyle *style = QStyleFactory::create(QStringLiteral("windowsvista")))
        QApplication::setStyle(style);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app_icon.ico")));
    installQtChineseTranslation(&app);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvane"));
    window.setMinimumSize(1004, 753);
    for (const char *title : {"文件", "设置", "帮助"})
        window.menuBar()->addMenu(QString::fromUtf8(title));
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    for (const char *caption : {"分组结果", "系统日志", "生成分组", "人员检查", "要求检查", "重置", "要求条件管理",
                                "要求类型:", "姓名(多个用空格分隔):", "添加要求", "移除选中"})
        layout->addWidget(new QLabel(QString::fromUtf8(caption)));
    window.setCentralWidget(central);
    window.statusBar()->addWidget(new QLabel(QStringLiteral("就绪")));
    window.show();
    return app.exec();
}
