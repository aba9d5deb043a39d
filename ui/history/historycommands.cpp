// "历史分组...": recording each generation, restoring one, and repeating a
// run from its seed.
#include "ui/window/mainwindow.h"

#include "core/platform/clock.h"
#include "core/storage/historybook.h"
#include "core/storage/arrangementrecord.h"
#include "ui/history/historydialog.h"

#include <QMessageBox>

HistoryBook MainWindow::openHistory()
{
    return HistoryBook(configPath, [this](const QString &line) { appendPlainLog(line); });
}

void MainWindow::recordGeneration(std::optional<HistoryBook> &history, quint32 seed, int avoidedRecord,
                                  const Engine::SolverReport &solver)
{
    currentRecord = 0;
    if (model.generatedGroups.isEmpty())
        return;
    ArrangementRecord record = recordOf(model, model.generatedGroups, seed, currentDateTime());
    record.avoidedRecord = avoidedRecord;
    noteSolver(record, solver);
    if (!history)
        history.emplace(openHistory());
    currentRecord = history->add(record);
}

void MainWindow::noteExport(const QString &savePath)
{
    if (currentRecord != 0)
        openHistory().markExported(currentRecord, savePath, currentDateTime());
}

void MainWindow::restoreArrangement(int id)
{
    HistoryBook history = openHistory();
    const ArrangementRecord *record = history.find(id);
    if (!record) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("该分组已不在历史记录中"));
        return;
    }
    const RosterArrangement placed = placeOnRoster(*record, model);
    model.generatedGroups = placed.groups;
    refreshResultTable();
    currentRecord = id;
    logMessage(QStringLiteral("已恢复 %1 的分组").arg(record->time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
    if (!placed.missingNames.isEmpty())
        appendPlainLog(QStringLiteral("以下学生不在当前名单中，未恢复: %1").arg(placed.missingNames.join(QStringLiteral("、"))));
    if (!placed.disabledGroupNames.isEmpty()) {
        QStringList groups;
        for (int number : placed.disabledGroups)
            groups.append(QStringLiteral("组%1").arg(number));
        appendPlainLog(QStringLiteral("%1 当前未启用，其中的学生未恢复: %2")
                           .arg(groups.join(QStringLiteral("、")), placed.disabledGroupNames.join(QStringLiteral("、"))));
    }
    history.markRestored(id, currentDateTime());
}

void MainWindow::showHistoryDialog()
{
    const HistoryBook history = openHistory();
    HistoryDialog dialog(history.records(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.choice() == HistoryDialog::Choice::Restore) {
        restoreArrangement(dialog.chosenRecord());
        return;
    }
    const ArrangementRecord *record = history.find(dialog.chosenRecord());
    if (!record) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("该分组已不在历史记录中"));
        return;
    }
    // The same seed and settings repeat the run, last time's groupmates included.
    generateWith(*record);
}
