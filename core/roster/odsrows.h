#pragma once

#include "core/roster/tablefile.h"

// An OpenDocument spreadsheet (.ods, as LibreOffice and WPS save it): fills
// sheetNames, sheetIndex and rows, or error.
void readOdsRows(const QString &path, int sheetIndex, TableFile &table);
