// The installed program's first start: no class yet, so the window offers the
// demo class it ships or the settings dialog.
#include "ui/window/mainwindow.h"

#include "core/storage/appdirectory.h"
#include "core/storage/configstore.h"
#include "ui/window/logbatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>

void MainWindow::offerDemoClass()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("提示"),
                    QStringLiteral("还没有班级。使用示例班级开始，还是打开设置录入班级？"), QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("firstRunBox"));
    QPushButton *demo = box.addButton(QStringLiteral("使用示例班级"), QMessageBox::AcceptRole);
    demo->setObjectName(QStringLiteral("useDemoClassButton"));
    QPushButton *settings = box.addButton(QStringLiteral("打开设置"), QMessageBox::ActionRole);
    settings->setObjectName(QStringLiteral("openSettingsButton"));
    box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(demo);
    box.exec();
    if (box.clickedButton() == demo)
        useDemoClass();
    else if (box.clickedButton() == settings)
        showSettingsDialog();
}

void MainWindow::useDemoClass()
{
    const LogBatch::Scope batch(logBatch);
    QFile demo(demoClassPath());
    // The start may have written the update check's date already; it stays.
    const QDate lastCheck = ConfigStore::readLastUpdateCheck(configPath);
    QDir().mkpath(QFileInfo(configPath).absolutePath());
    QSaveFile target(configPath);
    if (!demo.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly) || target.write(demo.readAll()) < 0
        || !target.commit()) {
        QMessageBox::warning(this, QStringLiteral("错误"),
                             QStringLiteral("无法把示例班级写入 %1").arg(QDir::toNativeSeparators(configPath)));
        return;
    }
    if (lastCheck.isValid())
        ConfigStore::writeLastUpdateCheck(configPath, lastCheck);
    loadConfig();
    loadGroupConfig();
    logMessage(QStringLiteral("已使用示例班级: %1").arg(QDir::toNativeSeparators(configPath)));
}
