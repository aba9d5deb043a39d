#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct RosterImport;

using SheetRows = QList<QStringList>;

// A class list workbook whose cells the project's own engine writes (as
// shared strings), one worksheet per entry; the path, or a fatal error.
QString writeClassListWorkbook(const QString &path, const QList<QPair<QByteArray, SheetRows>> &sheets);

// An import as "boys|girls|leaders|boarders", names separated by blanks, and
// its problems as "row:text".
QString rosterSummary(const RosterImport &import);
QStringList rosterProblems(const RosterImport &import);
