#include "core/engine/generation.h"

#include "core/engine/engine.h"

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
    // Only the kept try's lines are shown. The first try writes them as it
    // goes, as it is often the one kept; later tries run unheard, and a later
    // one that is kept runs once more from its seed for its lines: the seed
    // replays it exactly, and a try arranges alike heard or not.
    for (int attempt = 1; attempt <= tries; ++attempt) {
        const quint32 seed = seeds();
        QStringList lines;
        const LogSink keep = [&lines](const QString &line) { lines.append(line); };
        RunOutcome outcome = runOnce(model, attempt == 1 ? keep : LogSink(), seedSequence(seed), marks,
                                     options.previous);
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
    if (best.chosenTry > 1) {
        const LogSink keep = [&best](const QString &line) { best.lines.append(line); };
        RunOutcome replay = runOnce(model, keep, seedSequence(best.seed), marks, options.previous);
        best.groups = std::move(replay.groups);
        bestSeats = std::move(replay.seats);
        best.verdict = std::move(replay.verdict);
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
