// "历史分组...": recording each generation, restoring one, and repeating a
// run from its seed.
#include "app/mainwindow.h"

#include "config/clock.h"
#include "requirements/arrangementrecord.h"
#include "requirements/historydialog.h"

#include <QDir>
#include <QMessageBox>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

ArrangementHistory::Loaded MainWindow::readHistory()
{
    const QString path = ArrangementHistory::historyFilePath(configPath);
    ArrangementHistory::Loaded history = ArrangementHistory::load(path);
    if (!history.setAsidePath.isEmpty()) {
        appendPlainLog(QStringLiteral("历史记录文件 %1 无法读取（%2），已另存为 %3，重新开始记录")
                           .arg(shown(path), history.problem, shown(history.setAsidePath)));
    } else if (!history.writable) {
        appendPlainLog(QStringLiteral("历史记录文件 %1 无法读取（%2），也无法移开，分组不会记入历史")
                           .arg(shown(path), history.problem));
    }
    return history;
}

void MainWindow::writeHistory(const QList<ArrangementRecord> &records)
{
    const QString path = ArrangementHistory::historyFilePath(configPath);
    const QString problem = ArrangementHistory::save(path, records);
    if (!problem.isEmpty())
        appendPlainLog(QStringLiteral("无法写入历史记录文件 %1: %2").arg(shown(path), problem));
}

MainWindow::LastArrangement MainWindow::lastArrangement(int record)
{
    if (!model.avoidLastGroupmates)
        return {};
    const ArrangementHistory::Loaded history = readHistory();
    const ArrangementRecord *last = ArrangementHistory::find(history.records, record);
    if (!last)
        last = ArrangementHistory::mostRecent(history.records);
    if (!last)
        return {};
    return {last->id, groupmatesOf(*last, model)};
}

void MainWindow::recordGeneration(quint32 seed, int avoidedRecord)
{
    currentRecord = 0;
    if (model.generatedGroups.isEmpty())
        return;
    ArrangementHistory::Loaded history = readHistory();
    if (!history.writable)
        return;
    ArrangementRecord record = recordOf(model, model.generatedGroups, seed, currentDateTime());
    record.avoidedRecord = avoidedRecord;
    currentRecord = ArrangementHistory::append(history.records, record);
    writeHistory(history.records);
}

void MainWindow::noteExport(const QString &savePath)
{
    if (currentRecord == 0)
        return;
    ArrangementHistory::Loaded history = readHistory();
    ArrangementRecord *record = ArrangementHistory::find(history.records, currentRecord);
    if (!history.writable || !record)
        return;
    record->exportedPath = savePath;
    record->exportedTime = currentDateTime();
    writeHistory(history.records);
}

void MainWindow::restoreArrangement(int id)
{
    ArrangementHistory::Loaded history = readHistory();
    ArrangementRecord *record = ArrangementHistory::find(history.records, id);
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

    if (!history.writable)
        return;
    record->restored = currentDateTime();
    record->useOrder = ArrangementHistory::nextUseOrder(history.records);
    writeHistory(history.records);
}

void MainWindow::showHistoryDialog()
{
    HistoryDialog dialog(readHistory().records, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.choice() == HistoryDialog::Choice::Restore) {
        restoreArrangement(dialog.chosenRecord());
        return;
    }
    const ArrangementHistory::Loaded history = readHistory();
    const ArrangementRecord *record = ArrangementHistory::find(history.records, dialog.chosenRecord());
    if (!record) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("该分组已不在历史记录中"));
        return;
    }
    // The same seed and settings repeat the run, last time's groupmates included.
    generateWith(record->seed, record->avoidedRecord);
}
