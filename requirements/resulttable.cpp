// The results table and the details of a clicked group.
#include "app/mainwindow.h"

#include "app/logbatch.h"
#include "requirements/groupdetails.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QTableWidget>

namespace {

const QColor kMaleColour(200, 230, 255);
const QColor kFemaleColour(255, 230, 255);

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
            auto *item = new QTableWidgetItem(model.nameOf(id));
            if (model.isBoarder(id))
                item->setBackground(QBrush(Qt::yellow));
            else
                item->setBackground(QBrush(model.isBoy(id) ? kMaleColour : kFemaleColour));
            if (model.isLeader(id)) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            resultTable->setItem(row, column, item);
        }
        for (; column < columns; ++column)
            resultTable->setItem(row, column, new QTableWidgetItem(QString()));
    }

    resultTable->resizeColumnsToContents();
    resultTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
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
