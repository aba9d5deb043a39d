#include "engine/engine.h"

#include "engine/balancing.h"
#include "engine/filling.h"
#include "engine/leaders.h"
#include "engine/placement.h"
#include "engine/swappaths.h"
#include "engine/verification.h"
#include "engine/workingstate.h"

namespace Engine {

Grouping buildGroups(const ClassModel &model, const LogSink &log, const SeedSource &seeds)
{
    WorkingState state(model, log, seeds);
    if (!Placement::prepare(state))
        return {};
    Placement::placeFixedPositions(state);
    Placement::placeTogetherRequirements(state);

    Filling::fillSeats(state);

    Leaders::placeUnseatedLeaders(state);
    Leaders::resolveConflicts(state);
    Leaders::reportLeaders(state);

    Balancing::collectImmovable(state);
    Balancing::orderByGender(state);
    Balancing::separateRequirements(state);
    Balancing::balanceBoarders(state);

    SwapPaths(state.groups, model, log).optimizeFixedPositions();

    Verification::verify(state);
    return Verification::compact(state);
}

Grouping generateFromSeed(const ClassModel &model, const LogSink &log, quint32 seed)
{
    return buildGroups(model, log, seedSequence(seed));
}

} // namespace Engine
