#pragma once

#include "core/roster/tablerow.h"

#include <QList>
#include <QString>
#include <QStringList>

// A class list never comes near this many people; a file with more is refused.
constexpr int kMaxImportRows = 1000;
// A header row, when there is one, is among the first rows that hold anything.
constexpr int kHeaderSearchRows = 10;

// The rows of a class list file, before anything is made of them.
struct TableFile
{
    QStringList sheetNames; // the workbook's worksheets, in order; empty for a text file
    int sheetIndex = 0;     // the worksheet read, into sheetNames
    QString encoding;       // of a text file
    QList<TableRow> rows;   // rows holding a non-blank cell, ascending; at most kKeptRows shown and as many hidden
    int rowCount = 0;       // all rows holding a non-blank cell, also those not kept
    int hiddenRowCount = 0; // of them hidden
    QList<RowProblem> problems;
    QString error;          // not empty: the file could not be read, nothing is in it

    // Enough to find the header and to tell where a file passes the limit.
    static constexpr int kKeptRows = kMaxImportRows + kHeaderSearchRows + 1;
    void append(const TableRow &row);

private:
    int m_hiddenKept = 0;
};

// Reads an .xlsx workbook (the given worksheet, the first when out of range)
// or a comma, semicolon or tab separated text file, by content rather than
// by file name. Never raises; a file it cannot read comes back with error set.
TableFile readTableFile(const QString &path, int sheetIndex = 0);
