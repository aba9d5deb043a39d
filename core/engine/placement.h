#pragma once

struct WorkingState;

// The opening of a run: empty groups, fixed persons, 必须同组 groups.
namespace Placement {

// Builds the empty groups and the unassigned set and seeds the generator;
// false (and nothing else done) when no group is enabled.
bool prepare(WorkingState &state);
void placeFixedPositions(WorkingState &state);
void placeTogetherRequirements(WorkingState &state);

} // namespace Placement
