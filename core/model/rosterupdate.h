#pragma once

#include "core/model/classmodel.h"
#include "core/model/fixedposition.h"
#include "core/model/personid.h"

#include <QMap>
#include <QString>
#include <QStringList>

// The lines of an editor's text, split at "\n"; empty lines are dropped, the
// others kept exactly (a trailing blank makes a different name).
QStringList nonEmptyLines(const QString &text);

struct FixedPositionRemap
{
    QMap<PersonId, FixedPosition> positions;
    int renumbered = 0; // kept, under the student's new number
    int dropped = 0;    // the student left the roster
    bool changed() const { return renumbered > 0 || dropped > 0; }
};

// Person numbers follow roster order, so a pin stored by number would land on
// another student after a roster edit. Each pin follows its student by name to
// the new number; pins of students who left are dropped. A pin whose number
// named nobody is kept as long as it still names nobody, and dropped rather
// than handed to a newly listed student.
FixedPositionRemap remapFixedPositions(const QMap<PersonId, FixedPosition> &positions,
                                       const QMap<PersonId, QString> &oldIdToName,
                                       const QMap<QString, PersonId> &newNameToId,
                                       const QMap<PersonId, QString> &newIdToName);

// What the settings dialog holds before "保存".
struct SettingsEdits
{
    QString maleText;
    QString femaleText;
    QString leaderText;
    QString boarderText;
    QList<GroupConfig> groupConfigs;
};

// The class as the dialog's edits would make it: its roster, marks and group
// records, with the pins and requirements of `current` following their
// students by name as a save moves the pins. Members who left the roster are
// dropped from their requirements; numbers that named nobody stay as they are.
ClassModel draftSettings(const ClassModel &current, const SettingsEdits &edits);
