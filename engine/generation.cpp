#include "engine/generation.h"

#include "engine/engine.h"

#include <algorithm>

namespace Engine {

GenerationResult generate(const ClassModel &model, const LogSink &log, const GenerationOptions &options)
{
    GenerationResult best;
    if (model.enabledGroupIndexes().isEmpty())
        return best;
    const SeedSource seeds = options.trySeeds ? options.trySeeds : platformSeedSource();
    const int tries = std::clamp(options.tries, kMinGenerationTries, kMaxGenerationTries);
    const RosterMarks marks(model);
    Grouping bestSeats;
    for (int attempt = 1; attempt <= tries; ++attempt) {
        const quint32 seed = seeds();
        QStringList lines;
        const LogSink keep = [&lines](const QString &line) { lines.append(line); };
        RunOutcome outcome = runOnce(model, keep, seedSequence(seed), marks, options.previous);
        best.triesRun = attempt;
        if (attempt == 1 || outcome.score.isBetterThan(best.score)) {
            best.groups = std::move(outcome.groups);
            bestSeats = std::move(outcome.seats);
            best.verdict = std::move(outcome.verdict);
            best.score = outcome.score;
            best.seed = seed;
            best.chosenTry = attempt;
            best.lines = std::move(lines);
        }
        if (best.score.isFlawless())
            break;
    }
    if (options.useSolver && !best.verdict.allMet()) {
        const LogSink keep = [&best](const QString &line) { best.lines.append(line); };
        SolverCompletion completion = completeWithSolver(model, bestSeats, keep);
        best.solver = completion.report;
        if (completion.report.outcome == SolverReport::Outcome::Solved) {
            best.groups = std::move(completion.groups);
            best.verdict = std::move(completion.verdict);
            best.score = completion.score;
        }
    }
    if (log) {
        for (const QString &line : std::as_const(best.lines))
            log(line);
    }
    return best;
}

} // namespace Engine
