#pragma once

#include "core/model/classmodel.h"
#include "core/rules/requirementcheck.h"

#include <QList>

// Which of the teacher's requirements a grouping leaves unmet, as the one
// requirement checker judges them. The engine judges every try with it: the
// final verification lists the unmet ones and the choice among several tries
// counts them.
struct RequirementVerdict
{
    RequirementCheck check; // everything the checker found, targets and leaders included
    // Unmet 必须同组 and 不能同组 requirements, 必须同组 pairs in one group
    // and pins, in the check's order. Left out: pins that cannot be kept (a
    // disabled group, a seat the group lacks, a seat that holds another
    // person pinned to it), which the fixed-position steps report.
    QList<RequirementResult> unmet;

    bool allMet() const { return unmet.isEmpty(); }
    int count(RequirementKind kind) const;
};

// `groups` is indexed by group position and still shows every seat, so that
// pins are judged by seat.
RequirementVerdict judgeRequirements(const ClassModel &model, const Grouping &groups);
