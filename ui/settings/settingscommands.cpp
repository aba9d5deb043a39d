// The settings dialog and its save.
#include "ui/window/mainwindow.h"

#include "ui/window/logbatch.h"
#include "core/storage/configstore.h"
#include "core/model/duplicatenames.h"
#include "core/model/namecontrol.h"
#include "core/model/rosterupdate.h"
#include "ui/settings/settingsdialog.h"

#include <QDir>
#include <QMessageBox>

void MainWindow::showSettingsDialog()
{
    const QString customPath =
        currentStyle == ConfigStore::kCustomStyle ? ConfigStore::readCustomTemplatePath(configPath) : QString();
    SettingsDialog dialog(model, currentStyle, customPath,
                          [this](QTableWidget *table) { updateFixedPositionTable(table); }, this);
    updateFixedPositionTable(dialog.fixedPositionTable());
    connect(&dialog, &SettingsDialog::saveRequested, this, [this, &dialog] { saveSettings(dialog); });
    dialog.exec();
}

void MainWindow::saveSettings(SettingsDialog &dialog)
{
    const LogBatch::Scope batch(logBatch);
    // Said before anything changes; the teacher may save such a roster.
    const QString duplicates = duplicateNamesWarning(nonEmptyLines(dialog.maleText()) + nonEmptyLines(dialog.femaleText()));
    if (!duplicates.isEmpty())
        QMessageBox::warning(&dialog, QStringLiteral("提示"), duplicates);

    const QMap<PersonId, QString> oldIdToName = model.idToName;

    model.maleNames = nonEmptyLines(dialog.maleText());
    model.femaleNames = nonEmptyLines(dialog.femaleText());
    QStringList leaders = nonEmptyLines(dialog.leaderText());
    QStringList boarders = nonEmptyLines(dialog.boarderText());
    int cleanedNames = 0;
    for (QStringList *names : {&model.maleNames, &model.femaleNames, &leaders, &boarders})
        cleanedNames += stripControlCharacters(*names);
    model.leaderNames = QSet<QString>(leaders.begin(), leaders.end());
    model.boarderNames = QSet<QString>(boarders.begin(), boarders.end());
    model.groupConfigs = dialog.groupConfigs();
    model.avoidLastGroupmates = dialog.avoidLastGroupmates();
    model.generationTries = dialog.generationTries();
    model.useSolver = dialog.useSolver();
    currentStyle = dialog.selectedStyle();

    // Pins follow their students to the new numbers before anything is written.
    const ClassModel renumbered = ClassModel::fromRoster(model.maleNames, model.femaleNames);
    const FixedPositionRemap remap =
        remapFixedPositions(model.fixedPositions, oldIdToName, renumbered.nameToId, renumbered.idToName);
    model.fixedPositions = remap.positions;

    const bool written = ConfigStore::writeSettings(configPath, model, currentStyle, dialog.customPath());
    updateNameMapping();
    dialog.accept();
    clearWorkingState();

    if (cleanedNames > 0)
        appendPlainLog(controlCharactersLogLine(cleanedNames));
    if (remap.changed()) {
        appendPlainLog(QStringLiteral("固定位置已按姓名对应到新名单: %1 个随学生改为新编号, %2 个因学生不在名单中已删除")
                           .arg(remap.renumbered)
                           .arg(remap.dropped));
    }
    if (!written) {
        QMessageBox::warning(this, QStringLiteral("错误"),
                             QStringLiteral("设置无法保存到文件 %1\n修改只在本次运行中有效，重新启动后将恢复原来的设置。")
                                 .arg(QDir::toNativeSeparators(configPath)));
    }
}
