#include "core/engine/engine.h"

#include "core/engine/balancing.h"
#include "core/engine/filling.h"
#include "core/engine/freshgroupmates.h"
#include "core/engine/leaders.h"
#include "core/engine/placement.h"
#include "core/engine/swappaths.h"
#include "core/engine/verification.h"
#include "core/engine/workingstate.h"

namespace Engine {

Grouping buildGroups(const ClassModel &model, const LogSink &log, const SeedSource &seeds, const Grouping &previous)
{
    return runOnce(model, log, seeds, previous).groups;
}

RunOutcome runOnce(const ClassModel &model, const LogSink &log, const SeedSource &seeds, const Grouping &previous)
{
    return runOnce(model, log, seeds, RosterMarks(model), previous);
}

RunOutcome runOnce(const ClassModel &model, const LogSink &log, const SeedSource &seeds, const RosterMarks &marks,
                   const Grouping &previous)
{
    WorkingState state(model, log, seeds, marks);
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
    if (model.avoidLastGroupmates)
        FreshGroupmates::reduceRepeatedPairs(state, previous);

    RunOutcome outcome;
    outcome.verdict = Verification::verify(state);
    outcome.score = scoreTry(outcome.verdict);
    outcome.seats = state.groups;
    outcome.groups = Verification::compact(state);
    if (model.avoidLastGroupmates)
        outcome.score.repeatedPairs = FreshGroupmates::repeatedPairs(outcome.groups, previous);
    return outcome;
}

} // namespace Engine
