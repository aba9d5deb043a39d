#pragma once

#include "core/roster/tablefile.h"

// The workbook half of readTableFile: fills sheetNames, sheetIndex and rows,
// or error.
void readWorksheetRows(const QString &path, int sheetIndex, TableFile &table);

// A number as a class list means it: 20230101, not 2.0230101E7.
QString numberCellText(double number);
// Columns past this hold no class list; a stray formatted cell far to the
// right must not make every row that wide.
constexpr int kMaxListColumns = 256;
