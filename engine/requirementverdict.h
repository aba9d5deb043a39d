#pragma once

#include "model/classmodel.h"

#include <QList>

// Which of the teacher's requirements a grouping leaves unmet. The engine
// judges every try with it: the final verification lists the unmet ones and
// the choice among several tries counts them.
struct UnmetRequirement
{
    enum class Kind {
        Together,    // 必须同组 members split (or one without a seat)
        SharedGroup, // two 必须同组 requirements in one group
        Apart,       // 不能同组 members sharing a group
        Pin,         // a fixed person away from the seat
    };

    Kind kind = Kind::Together;
    int index = -1;          // in mustTogether or mustSeparate; first of the pair for SharedGroup
    int otherIndex = -1;     // second of the pair for SharedGroup
    QList<PersonId> persons; // the members concerned, in requirement order
    QList<int> groupNumbers; // groups concerned, ascending; 0 ("no seat") last
};

struct RequirementVerdict
{
    QList<UnmetRequirement> unmet;

    bool allMet() const { return unmet.isEmpty(); }
    int count(UnmetRequirement::Kind kind) const;
};

// Judges `groups` (indexed by group position; uncompacted, so that seat s is
// entry s - 1) against the requirements and those fixed positions that can be
// kept at all: a pin to a disabled group, to a seat the group lacks or to a
// seat an earlier pin took is reported by the fixed-position step and left out.
// Numbers off the roster and repeated members are ignored, as the engine does;
// a 必须同组 requirement with fewer than two members asks nothing, and two that
// share a member are never said to share a group.
RequirementVerdict judgeRequirements(const ClassModel &model, const Grouping &groups);
