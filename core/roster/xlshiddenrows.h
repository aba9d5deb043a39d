#pragma once

#include <QSet>
#include <QString>

// The hidden rows (1-based) of a sheet of an Excel 97-2003 workbook, which
// FreeXL does not tell: read from the row records of the workbook stream in
// its compound file. Empty when the file holds none or cannot be read.
QSet<int> hiddenXlsRows(const QString &path, int sheetIndex);
