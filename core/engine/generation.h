#pragma once

#include "core/engine/logsink.h"
#include "core/engine/random.h"
#include "core/engine/requirementverdict.h"
#include "core/engine/solverstep.h"
#include "core/engine/tryscore.h"
#include "core/model/classmodel.h"

#include <QStringList>

namespace Engine {

struct GenerationOptions
{
    int tries = kDefaultGenerationTries; // kept within kMinGenerationTries..kMaxGenerationTries
    SeedSource trySeeds;                  // one seed per try; empty: the platform's random device
    Grouping previous; // last time's groups by today's numbers, kept apart when the class asks for it
    // Complete a kept try that leaves a requirement or pin unmet with the
    // constraint solver ("无法满足要求时使用约束求解").
    bool useSolver = false;
};

// The try that was kept, as a value: its grouping, how it keeps the
// requirements, its seed and the log lines it wrote.
struct GenerationResult
{
    Grouping groups;
    RequirementVerdict verdict;
    TryScore score;
    quint32 seed = 0;
    int chosenTry = 0; // 1-based
    int triesRun = 0;
    QStringList lines;
    SolverReport solver;
};

// "生成分组": runs the pipeline once per try, each try drawing all its
// randomness from one seed (seedSequence), and keeps the best try by the
// ranking of TryScore, the earliest of equals. Stops early at a flawless
// try. Only the kept try's lines reach `log`, so the log tells how the result
// came about. Running one try with the kept seed replays the result alone.
// With no enabled group: an empty result, nothing logged, no seed drawn.
// With the solver on and a requirement or pin still unmet, the solver starts
// from the kept try; its lines follow the try's (and replace its grouping
// when it finds one); the same seed gives the same result.
GenerationResult generate(const ClassModel &model, const LogSink &log, const GenerationOptions &options = {});

} // namespace Engine
