#pragma once

#include "core/engine/requirementverdict.h"
#include "core/model/grouping.h"

struct WorkingState;

// The close of a run: report how fixed positions, leaders and requirements
// came out, then drop the empty seats.
namespace Verification {

// Logs the checks, then one line per unmet requirement other than a pin, and
// returns the verdict on the groups as they stand.
RequirementVerdict verify(const WorkingState &state);
Grouping compact(const WorkingState &state);

} // namespace Verification
