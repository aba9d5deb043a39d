#pragma once

#include "core/model/constraint.h"
#include "core/model/fixedposition.h"
#include "core/model/generationtries.h"
#include "core/model/groupconfig.h"
#include "core/model/grouping.h"
#include "core/model/personid.h"

#include <QChar>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

// Everything a grouping is made from, plus the current grouping. The main
// window owns one; the engine, the checks and the export read it.
struct ClassModel
{
    QStringList maleNames;
    QStringList femaleNames;
    QSet<QString> leaderNames;
    QSet<QString> boarderNames;
    QMap<QString, PersonId> nameToId;
    QMap<PersonId, QString> idToName;
    QList<GroupConfig> groupConfigs = defaultGroupConfigs();
    QList<Constraint> mustTogether;
    QList<Constraint> mustSeparate;
    QMap<PersonId, FixedPosition> fixedPositions;
    // "尽量避免与上次同组": the engine keeps last time's groupmates apart.
    bool avoidLastGroupmates = false;
    int generationTries = kDefaultGenerationTries;
    // "无法满足要求时使用约束求解": complete a generation that leaves a
    // requirement unmet with the constraint solver.
    bool useSolver = true;
    Grouping generatedGroups;

    // A model holding just this roster, with its name maps built.
    static ClassModel fromRoster(const QStringList &boys, const QStringList &girls);

    // Boys first, then girls; a name listed twice keeps its last number in
    // nameToId while idToName holds both.
    void rebuildNameMaps();

    int boyCount() const { return int(maleNames.size()); }
    int personCount() const { return int(maleNames.size() + femaleNames.size()); }
    // 'M' for 1..B, 'F' for everything else, 0 (empty seat) included.
    QChar genderOf(PersonId id) const { return id >= 1 && id <= boyCount() ? u'M' : u'F'; }
    bool isBoy(PersonId id) const { return genderOf(id) == u'M'; }
    bool isOnRoster(PersonId id) const { return id >= 1 && id <= personCount(); }
    QString nameOf(PersonId id) const { return idToName.value(id); }
    // A number without a name (an empty seat, a stale number) is neither.
    bool isLeader(PersonId id) const { return hasMark(leaderNames, id); }
    bool isBoarder(PersonId id) const { return hasMark(boarderNames, id); }

    bool hasMark(const QSet<QString> &names, PersonId id) const
    {
        const QString name = idToName.value(id);
        return !name.isEmpty() && names.contains(name);
    }

    // Configuration indexes (0-9) of the enabled groups, ascending.
    QList<int> enabledGroupIndexes() const;
    // Group number (1-based configuration index) shown for group position p.
    int groupNumberOfPosition(int position) const;
    // Group position of a group number, or -1 when that group is not enabled.
    int positionOfGroupNumber(int groupNumber) const;
};

// Sorted copies of the name sets, so that anything iterating them behaves the
// same in every process (QSet's order depends on a per-process hash seed).
QStringList sortedNames(const QSet<QString> &names);
