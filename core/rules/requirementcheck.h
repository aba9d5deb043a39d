#pragma once

#include "core/model/classmodel.h"

#include <QList>

// One verdict on a grouping: the requirement check, the group details, the
// personnel report and the engine all read these instead of judging again.
enum class RequirementKind {
    MustTogether,        // one 必须同组 requirement: its members share one group
    MustSeparate,        // one 不能同组 requirement: no two members share a group
    TogetherGroupsApart, // two 必须同组 requirements: their first members sit in different groups
    FixedPosition,       // one pin: the person sits at the pinned group and seat
    Seated,              // every roster member holds a seat
    BoysTarget,          // one group: its boys equal its `males` target
    GirlsTarget,         // one group: its girls equal its `females` target
    Leaders,             // one group: it has exactly one leader
};

struct RequirementResult
{
    RequirementKind kind = RequirementKind::MustTogether;
    // Index in mustTogether / mustSeparate; TogetherGroupsApart: the first of
    // the two. -1 for kinds that are not list entries.
    int requirement = -1;
    int otherRequirement = -1; // TogetherGroupsApart: the second requirement
    // Group position the verdict is about (where the requirement is met or
    // first broken, the group of a target or a pin); -1 when none.
    int group = -1;
    // The persons judged: distinct roster members of a requirement in their
    // first order, the pinned person, the unseated persons, a group's leaders.
    QList<PersonId> persons;
    // Targets and leaders: the count found and the count wanted.
    int actual = 0;
    int expected = 0;
    bool met = true;
    // A requirement with fewer than two distinct roster members asks nothing.
    bool trivial = false;
};

// Head counts of one group, or of the whole grouping.
struct PersonnelCounts
{
    int people = 0;
    int boys = 0;
    int girls = 0;
    int leaders = 0;
    int boarders = 0;

    PersonnelCounts &operator+=(const PersonnelCounts &other);
};

struct RequirementCheck
{
    // Order: MustTogether (list order), TogetherGroupsApart (i, then j
    // ascending), MustSeparate (list order), FixedPosition (ascending
    // person), Seated, then per group position BoysTarget, GirlsTarget, Leaders.
    QList<RequirementResult> results;
    QList<PersonnelCounts> groups; // one per group position

    QList<RequirementResult> ofKind(RequirementKind kind) const;
    bool allMet(RequirementKind kind) const;
};

// Boys are told by number (1..number of boys), leaders and boarders by name,
// so a leader who boards counts in both columns.
PersonnelCounts countGroup(const ClassModel &model, const Group &group);

// Judges `groups` (indexed by group position, compacted or still with empty
// seats) against the model's requirements, pins, targets and leaders.
//
// A requirement is judged on its distinct roster members; numbers that match
// nobody are ignored, and with fewer than two members it is met trivially. A
// roster member without a seat counts as sitting at group position 0, as the
// requirement check has always read it. 必须同组 requirements that share a
// member must share a group, so they are never reported as sitting together.
// A pin's seat is compared exactly where the group still shows every seat
// (its length equals its total); in a compacted group only the group is
// known, and pins of two persons on one seat there count as unmet.
RequirementCheck checkRequirements(const ClassModel &model, const Grouping &groups);

// 必须同组 requirements joined through shared students: they can only be met
// in one group. Each set is ascending, the sets ordered by their first
// requirement; requirements with fewer than two distinct students are left out.
QList<QList<int>> linkedTogetherRequirements(const ClassModel &model);

// The distinct roster members of a requirement, in first-seen order.
QList<PersonId> rosterMembers(const ClassModel &model, const Constraint &requirement);
