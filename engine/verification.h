#pragma once

#include "model/grouping.h"

struct WorkingState;

// The close of a run: report how fixed positions and leaders came out, then
// drop the empty seats.
namespace Verification {

void verify(const WorkingState &state);
Grouping compact(const WorkingState &state);

} // namespace Verification
