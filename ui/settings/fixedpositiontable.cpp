// Fills a fixed-position table from the window's fixedPositions.
#include "ui/window/mainwindow.h"

#include <QTableWidget>

void MainWindow::updateFixedPositionTable(QTableWidget *table)
{
    if (!table)
        return;
    table->setRowCount(int(model.fixedPositions.size()));
    int row = 0;
    for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend(); ++it, ++row) {
        table->setItem(row, 0, new QTableWidgetItem(model.nameOf(it.key())));
        table->setItem(row, 1, new QTableWidgetItem(QString::number(it.value().group)));
        table->setItem(row, 2, new QTableWidgetItem(QString::number(it.value().seat)));
    }
    table->setHorizontalHeaderLabels({QStringLiteral("姓名"), QStringLiteral("组号"), QStringLiteral("座位位置")});
}
