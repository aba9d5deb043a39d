#pragma once

#include "model/classmodel.h"

#include <QMap>
#include <QStringList>

// Outcome of checking a grouping against the requirements: the report lines
// in the order they are shown (start line first, verdict last).
struct ConstraintCheck
{
    QStringList lines;
    bool allSatisfied = true;
};

// personGroup maps each seated person to its group position; persons missing
// from it count as sitting at position 0. Numbers that match nobody show an
// empty name.
ConstraintCheck checkConstraintsAgainst(const ClassModel &model, const QMap<PersonId, int> &personGroup);
