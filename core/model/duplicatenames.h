#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Two students with one name share a single entry of the name maps: the
// later number wins, and requirements and pins typed by name cannot tell
// them apart. Such rosters are allowed, but the teacher is told.
struct DuplicateName
{
    QString name;
    int count = 0;
};

// Names listed more than once, in the order of their first occurrence.
QList<DuplicateName> duplicateNames(const QStringList &names);
// The warning for a roster; empty when every name is distinct.
QString duplicateNamesWarning(const QStringList &names);
