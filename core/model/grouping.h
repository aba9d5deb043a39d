#pragma once

#include "core/model/personid.h"

#include <QList>
#include <QMap>

// Persons of one group in seat order; 0 is an empty seat while the engine works.
using Group = QList<PersonId>;
// One group per enabled group record, indexed by group position.
using Grouping = QList<Group>;

// Person -> group position; a later occurrence overrides an earlier one.
// Callers look up persons in no group as position 0 (QMap::value default).
QMap<PersonId, int> personGroupMap(const Grouping &groups);
