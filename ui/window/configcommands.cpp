// The window's side of config.ini: load at construction, save at shutdown.
#include "ui/window/mainwindow.h"

#include "core/storage/appdirectory.h"
#include "core/storage/configencoding.h"
#include "core/storage/configstore.h"
#include "core/model/namecontrol.h"

void MainWindow::loadConfig()
{
    configPath = configFilePath();
    // Before anything reads the file, and long before anything writes it.
    const ConfigEncoding::Result encoding = ConfigEncoding::ensureUtf8(configPath);
    const int cleanedNames = ConfigStore::readRoster(configPath, model, currentStyle);
    if (!logView)
        return;
    if (cleanedNames > 0)
        appendPlainLog(controlCharactersLogLine(cleanedNames));
    if (const QString line = ConfigEncoding::logLine(encoding, configPath); !line.isEmpty())
        appendPlainLog(line);
    appendLog(QStringLiteral("加载了 %1 名男生和 %2 名女生").arg(model.maleNames.size()).arg(model.femaleNames.size()));
    appendLog(QStringLiteral("加载了 %1 名组长和 %2 名外宿生").arg(model.leaderNames.size()).arg(model.boarderNames.size()));
    appendPlainLog(QStringLiteral("当前样式: %1").arg(currentStyle));
}

void MainWindow::initGroupConfigs()
{
    model.groupConfigs.resize(kGroupCount);
}

void MainWindow::loadGroupConfig()
{
    ConfigStore::readGroupRecords(configPath, model);
    refreshConstraintTable();
}

bool MainWindow::saveConfig()
{
    return ConfigStore::writeGroupRecords(configPath, model);
}

void MainWindow::updateNameMapping()
{
    model.rebuildNameMaps();
    appendLog(QStringLiteral("更新了姓名映射: %1 名男生, %2 名女生").arg(model.maleNames.size()).arg(model.femaleNames.size()));
}
