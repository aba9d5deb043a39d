#pragma once

#include "core/roster/tablefile.h"

// The workbook half of readTableFile: fills sheetNames, sheetIndex and rows,
// or error.
void readWorksheetRows(const QString &path, int sheetIndex, TableFile &table);
