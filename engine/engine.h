#pragma once

#include "engine/logsink.h"
#include "engine/random.h"
#include "model/classmodel.h"

namespace Engine {

// One generation run over the model's roster, group records, requirements and
// fixed positions. Every step is explained through `log`; `seeds` gives the
// run's seed and one per swap-partner pick (empty: the platform's random
// device), so a fixed sequence replays a run exactly. Returns one compacted
// group per enabled group, or an empty grouping (nothing logged) when no group
// is enabled.
Grouping buildGroups(const ClassModel &model, const LogSink &log, const SeedSource &seeds = {});

// A generation as the user asks for one, from the window's "生成分组" and from
// the command line alike: the same seed and class give the same grouping and
// log in both.
Grouping generateFromSeed(const ClassModel &model, const LogSink &log, quint32 seed);

} // namespace Engine
