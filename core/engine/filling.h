#pragma once

struct WorkingState;

// Seats everybody still unassigned: quotas first (girls, then boys), then
// the surplus one person per group per sweep.
namespace Filling {

void fillSeats(WorkingState &state);

} // namespace Filling
