#pragma once

#include "core/roster/tablefile.h"

// An Excel 97-2003 workbook (.xls, and WPS .et in the same format), read with
// FreeXL: fills sheetNames, sheetIndex and rows (hidden ones marked), or error.
void readXlsRows(const QString &path, int sheetIndex, TableFile &table);
