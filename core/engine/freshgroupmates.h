#pragma once

#include "core/model/grouping.h"

struct WorkingState;

// New groupmates each time: an optional step after the fixed-position
// optimisation that keeps apart students who sat together last time. It only
// trades two students whom no other step could tell apart (neither pinned nor
// in a requirement, one gender, the same leader and boarder marks), so group
// sizes, gender counts, leaders, boarders, pins and requirements stay as the
// specified steps left them.
namespace FreshGroupmates {

// Pairs of persons who share a group in `current` and also shared one in
// `previous` (persons by number; empty seats and repeats ignored).
int repeatedPairs(const Grouping &current, const Grouping &previous);

// Lowers the repeated pairs of the working groups against `previous` by such
// trades, never raising them; draws from the run's generator and logs the
// count before and after.
void reduceRepeatedPairs(WorkingState &state, const Grouping &previous);

} // namespace FreshGroupmates
