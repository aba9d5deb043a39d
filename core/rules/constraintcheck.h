#pragma once

#include "core/model/classmodel.h"

#include <QStringList>

// Outcome of checking a grouping against the requirements: the report lines
// in the order they are shown (start line first, verdict last).
struct ConstraintCheck
{
    QStringList lines;
    bool allSatisfied = true;
};

// The requirement check of a grouping (indexed by group position), worded from
// the verdicts of checkRequirements. Numbers that match nobody show an empty
// name in the lines.
ConstraintCheck checkConstraintsAgainst(const ClassModel &model, const Grouping &groups);
