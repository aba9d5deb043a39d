#pragma once

#include "core/engine/logsink.h"
#include "core/engine/random.h"
#include "core/engine/requirementverdict.h"
#include "core/engine/tryscore.h"
#include "core/engine/workingstate.h"
#include "core/model/classmodel.h"

namespace Engine {

// One generation run over the model's roster, group records, requirements and
// fixed positions. Every step is explained through `log`; `seeds` gives the
// run's seed and one per swap-partner pick (empty: the platform's random
// device), so a fixed sequence replays a run exactly. Returns one compacted
// group per enabled group, or an empty grouping (nothing logged) when no group
// is enabled. With the class's avoidLastGroupmates set, one more step keeps
// apart those who shared a group in `previous` (by person number).
Grouping buildGroups(const ClassModel &model, const LogSink &log, const SeedSource &seeds = {},
                     const Grouping &previous = {});

// The same run, with the verdict on its requirements and its score (which
// counts the pairs repeated from `previous` when the class avoids them).
struct RunOutcome
{
    Grouping groups;
    Grouping seats; // the same before compaction: every seat shown
    RequirementVerdict verdict;
    TryScore score;
};
RunOutcome runOnce(const ClassModel &model, const LogSink &log, const SeedSource &seeds,
                   const Grouping &previous = {});
// The same, with the leader and boarder marks worked out beforehand.
RunOutcome runOnce(const ClassModel &model, const LogSink &log, const SeedSource &seeds, const RosterMarks &marks,
                   const Grouping &previous = {});

} // namespace Engine
