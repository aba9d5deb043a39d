#pragma once

#include <QString>

// A name padded for alignment in a printed list ("王  芳", "李　娜"): the runs of
// blanks (plain, full-width or non-breaking) between its Chinese characters
// are taken out. Elsewhere (names in Latin letters) a run becomes one plain
// blank. Expects a name without blanks around it.
QString joinPaddedName(const QString &name);
