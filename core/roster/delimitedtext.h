#pragma once

#include "core/roster/tablerow.h"

#include <QChar>
#include <QList>
#include <QString>

// Comma, semicolon or tab separated text as spreadsheet programs write it:
// a field in double quotes may hold separators, line breaks and doubled
// quotes; a quote inside an unquoted field is an ordinary character.
struct DelimitedText
{
    QList<TableRow> rows;    // every record, blank ones included, numbered from 1
    int unterminatedRow = 0; // the record whose quote never closes (left out), 0 when none
};

// The separator used on the most of the first lines (outside quotes); a null
// character when none is, so each line is a single field.
QChar detectSeparator(const QString &text);

DelimitedText parseDelimitedText(const QString &text, QChar separator);
