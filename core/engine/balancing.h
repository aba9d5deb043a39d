#pragma once

#include "core/model/personid.h"

#include <functional>

class PersonFlags;
struct WorkingState;

// The rearranging stretch after everybody is seated: boys before girls in
// every group, 不能同组 persons pulled apart, boarders evened out. Fixed
// persons and leaders (the immovable set) stay where they are.
namespace Balancing {

constexpr int kMaxSeparationPasses = 100;
constexpr int kMaxBoarderIterations = 100;

void collectImmovable(WorkingState &state);
void orderByGender(WorkingState &state);
void separateRequirements(WorkingState &state);
void balanceBoarders(WorkingState &state);

// A same-gender person of group `position` who is not excluded (and passes
// `allowed`, when given), chosen uniformly with a generator of its own; 0
// when there is none.
PersonId pickSwapCandidate(const WorkingState &state, PersonId person, int position, const PersonFlags &excluded,
                           const std::function<bool(PersonId)> &allowed = {});

} // namespace Balancing
