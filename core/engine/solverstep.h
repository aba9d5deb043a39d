#pragma once

#include "core/engine/arrangementsolver.h"
#include "core/engine/logsink.h"
#include "core/engine/requirementverdict.h"
#include "core/engine/tryscore.h"
#include "core/model/classmodel.h"
#include "core/rules/settingsfinding.h"

#include <QList>

namespace Engine {

// What the constraint solver did after the tries of one "生成分组".
struct SolverReport
{
    enum class Outcome {
        NotRun,          // off, or the kept try met every requirement
        SettingsConflict, // the settings check proves a conflict: not searched
        Solved,          // the arrangement was completed
        Infeasible,      // no arrangement meets every requirement: `conflict` says why
        Undecided,       // the budget ran out: the kept try stays
    };
    Outcome outcome = Outcome::NotRun;
    int moved = 0;
    QList<ArrangementSolver::Setting> conflict;

    bool used() const { return outcome != Outcome::NotRun; }
};

// The arrangement after the solver, with its verdict and score.
struct SolverCompletion
{
    SolverReport report;
    Grouping groups; // compacted, when solved
    RequirementVerdict verdict;
    TryScore score;
};

// Completes a kept try that leaves a requirement or pin unmet. `seats` is the
// try's grouping before compaction. Settings the settings check proves
// impossible are not searched. Solved, the verification is written again for
// the new arrangement; otherwise a line says why the try stays.
SolverCompletion completeWithSolver(const ClassModel &model, const Grouping &seats, const LogSink &log);

// Settings-check findings that by arithmetic alone rule out meeting every
// requirement and pin with everybody seated.
bool provesHardConflict(const QList<Finding> &findings);

// The settings check's findings from the solver: a proved conflict among the
// requirements and pins (将无法满足), or, when the search did not finish, that
// they may not all be met. None when the arithmetic findings already prove a
// conflict or an arrangement exists.
QList<Finding> solverFindings(const ClassModel &model, const QList<Finding> &arithmetic);

// "检查设置" with the solver on: the settings check's findings and the
// solver's, most severe first.
QList<Finding> checkSettingsWithSolver(const ClassModel &model);

} // namespace Engine
