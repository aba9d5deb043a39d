#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One row of a class list as the file holds it: its 1-based row number (the
// number a spreadsheet program shows) and its cells from the first column on,
// untrimmed.
struct TableRow
{
    int number = 0;
    QStringList cells;
    bool hidden = false; // the workbook hides the row (a filtered list)

    QString cell(int column) const { return cells.value(column); }
    bool isBlank() const
    {
        for (const QString &cell : cells) {
            if (!cell.trimmed().isEmpty())
                return false;
        }
        return true;
    }
};

// Something the teacher should know about one row of the file.
struct RowProblem
{
    int row = 0;
    QString text;
};
