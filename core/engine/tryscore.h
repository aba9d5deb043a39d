#pragma once

#include "core/engine/requirementverdict.h"

// How good one generation try came out, in the order the tries are ranked:
// fewer unmet requirements first, then fewer groups without exactly one
// leader, then fewer groups off their gender targets, then the smaller gap
// between the most and the fewest boarders in a group, then (when the class
// avoids last time's groupmates) fewer pairs who shared a group last time.
struct TryScore
{
    int unmetRequirements = 0;
    int leaderProblems = 0;
    int genderMisses = 0;
    int boarderImbalance = 0;
    int repeatedPairs = 0; // stays 0 unless the class avoids last time's groupmates

    // Strictly better by the ranking; a tie is not better.
    bool isBetterThan(const TryScore &other) const;
    // Nothing left to wish for: every requirement met, one leader and the
    // gender targets in every group, boarders as even as balancing makes them.
    // Repeated pairs only rank the tries: a wish, not a requirement, they do
    // not keep the tries going.
    bool isFlawless() const;
};

// Scores a try by the verdict on its groups.
TryScore scoreTry(const RequirementVerdict &verdict);
