#pragma once

#include <QString>
#include <QStringList>

// A name never holds a tab, a line break or another control character: a tab
// typed into a roster editor once made "\t\t王浩然", whom no requirement and no
// leader mark could name.
QString withoutControlCharacters(const QString &name);
// Takes them out of every name of the list, dropping names left empty;
// returns how many names changed.
int stripControlCharacters(QStringList &names);

// The event log's one line about it, for a load or a save that found n such names.
QString controlCharactersLogLine(int n);
