// The results table and the details of a clicked group.
#include "ui/window/mainwindow.h"

#include "ui/window/logbatch.h"
#include "core/rules/groupdetails.h"
#include "ui/common/memberitem.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableWidget>

namespace {

// Sizes the columns to their contents (where that can show) and then lets them
// share the width again. Each step moves the sections, and the table answers
// each move by repainting its whole viewport one event-loop turn later, after
// it has already painted the new rows: the result was painted twice. The
// header keeps quiet while it moves, and the table then hears only of the
// columns whose width really changed.
void fitColumnsThenStretch(QTableWidget *table)
{
    QHeaderView *header = table->horizontalHeader();
    QList<int> before;
    for (int column = 0; column < header->count(); ++column)
        before.append(header->sectionSize(column));
    {
        const QSignalBlocker quiet(header);
        // Stretched columns share the header's width whatever width they had,
        // so the fitted widths (every name laid out for them) can show only
        // where there is no width to share.
        if (header->viewport()->width() <= 0)
            table->resizeColumnsToContents();
        header->setSectionResizeMode(QHeaderView::Stretch);
        header->length(); // stretches now rather than on a later turn, once unblocked
    }
    for (int column = 0; column < header->count(); ++column) {
        const int width = header->sectionSize(column);
        if (width != before.value(column))
            emit header->sectionResized(column, before.value(column), width);
    }
}

} // namespace

void MainWindow::refreshResultTable()
{
    const QList<int> enabled = model.enabledGroupIndexes();
    if (enabled.isEmpty()) {
        resultTable->setRowCount(0);
        return;
    }

    int columns = 11;
    for (int index : enabled)
        columns = std::max(columns, model.groupConfigs.at(index).total + 1);
    // A restored arrangement may hold more students than today's seats.
    for (const Group &members : std::as_const(model.generatedGroups))
        columns = std::max(columns, int(members.size()) + 1);
    resultTable->setRowCount(int(enabled.size()));
    resultTable->setColumnCount(columns);
    QStringList headers{QStringLiteral("组号")};
    for (int k = 1; k < columns; ++k)
        headers.append(QStringLiteral("成员%1").arg(k));
    resultTable->setHorizontalHeaderLabels(headers);

    for (int row = 0; row < enabled.size(); ++row) {
        resultTable->setItem(row, 0, new QTableWidgetItem(QStringLiteral("组 %1").arg(enabled.at(row) + 1)));
        const Group members = model.generatedGroups.value(row);
        int column = 1;
        for (; column - 1 < members.size() && column < columns; ++column) {
            const PersonId id = members.at(column - 1);
            resultTable->setItem(row, column,
                                 memberItem(model.nameOf(id), model.isBoy(id), model.isLeader(id), model.isBoarder(id)));
        }
        for (; column < columns; ++column)
            resultTable->setItem(row, column, new QTableWidgetItem(QString()));
    }

    fitColumnsThenStretch(resultTable);
}

void MainWindow::showGroupDetails(int row, int /*column*/)
{
    const LogBatch::Scope batch(logBatch);
    const QString text = groupDetailsHtml(model, row);
    if (!text.isEmpty())
        appendLog(text);
}

QMap<PersonId, int> MainWindow::buildPersonGroupMap() const
{
    return personGroupMap(model.generatedGroups);
}
