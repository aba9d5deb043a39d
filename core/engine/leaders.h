#pragma once

struct WorkingState;

// One leader per group: seat leaders still without a seat, then move or
// swap leaders out of groups with several into groups with none.
namespace Leaders {

void placeUnseatedLeaders(WorkingState &state);
void resolveConflicts(WorkingState &state);
void reportLeaders(WorkingState &state);

constexpr int kMaxConflictIterations = 50;

} // namespace Leaders
