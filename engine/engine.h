#pragma once

#include "engine/logsink.h"
#include "engine/random.h"
#include "engine/requirementverdict.h"
#include "engine/tryscore.h"
#include "engine/workingstate.h"
#include "model/classmodel.h"

namespace Engine {

// One generation run over the model's roster, group records, requirements and
// fixed positions. Every step is explained through `log`; `seeds` gives the
// run's seed and one per swap-partner pick (empty: the platform's random
// device), so a fixed sequence replays a run exactly. Returns one compacted
// group per enabled group, or an empty grouping (nothing logged) when no group
// is enabled.
Grouping buildGroups(const ClassModel &model, const LogSink &log, const SeedSource &seeds = {});

// The same run, with the verdict on its requirements and its score.
struct RunOutcome
{
    Grouping groups;
    RequirementVerdict verdict;
    TryScore score;
};
RunOutcome runOnce(const ClassModel &model, const LogSink &log, const SeedSource &seeds);
// The same, with the leader and boarder marks worked out beforehand.
RunOutcome runOnce(const ClassModel &model, const LogSink &log, const SeedSource &seeds, const RosterMarks &marks);

} // namespace Engine
