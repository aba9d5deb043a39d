// The constraint solver's time: completing a kept try that leaves
// requirements unmet, and naming a conflict.
#include "common/solvableclass.h"

#include "core/engine/arrangementsolver.h"
#include "core/engine/engine.h"
#include "core/engine/generation.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

namespace {

// A class whose single try leaves requirements unmet, with that try's seats.
struct Case
{
    ClassModel model;
    Grouping seats;
};

Case missedTry(const ClassModel &model)
{
    for (quint32 seed = 1;; ++seed) {
        Engine::RunOutcome outcome = Engine::runOnce(model, LogSink(), seedSequence(seed));
        if (!outcome.verdict.allMet() || seed > 1000)
            return {model, outcome.seats};
    }
}

// A class of `persons` in ten equal groups that can be arranged: one 必须同组
// requirement of four inside each group, 50 不能同组 pairs across groups and
// 20 pins, all read off an arrangement made first.
Case largeCase(int persons)
{
    std::mt19937 random{quint32(persons)};
    const int size = persons / 10;
    QStringList boys;
    QStringList girls;
    for (int i = 0; i < persons / 2; ++i) {
        boys.append(QStringLiteral("男%1").arg(i + 1));
        girls.append(QStringLiteral("女%1").arg(i + 1));
    }
    ClassModel model = ClassModel::fromRoster(boys, girls);
    QList<PersonId> boyIds;
    QList<PersonId> girlIds;
    for (PersonId id = 1; id <= persons; ++id)
        (model.isBoy(id) ? boyIds : girlIds).append(id);
    std::shuffle(boyIds.begin(), boyIds.end(), random);
    std::shuffle(girlIds.begin(), girlIds.end(), random);
    Grouping arrangement;
    for (int g = 0; g < 10; ++g) {
        model.groupConfigs[g] = GroupConfig{true, size, size / 2, size - size / 2};
        arrangement.append(boyIds.mid(g * (size / 2), size / 2) + girlIds.mid(g * (size - size / 2), size - size / 2));
        model.leaderNames.insert(model.nameOf(arrangement.last().first()));
        model.boarderNames.insert(model.nameOf(arrangement.last().last()));
        model.mustTogether.append(arrangement.last().mid(1, 4));
    }
    for (int r = 0; r < 50; ++r) {
        const int g = r % 10;
        const PersonId a = arrangement.at(g).at(5 + r / 10);
        const PersonId b = arrangement.at((g + 1) % 10).at(10 + r / 10);
        model.mustSeparate.append({a, b});
    }
    for (int f = 0; f < 20; ++f)
        model.fixedPositions.insert(arrangement.at(f % 10).at(20 + f / 10), FixedPosition{f % 10 + 1, 21 + f / 10});
    // The start: a try that knew of no requirement or pin, so much is to mend.
    ClassModel unaware = model;
    unaware.mustTogether.clear();
    unaware.mustSeparate.clear();
    unaware.fixedPositions.clear();
    return {model, Engine::runOnce(unaware, LogSink(), seedSequence(1)).seats};
}

void completeTry(benchmark::State &state, const Case &c)
{
    const ArrangementSolver::Budget budget = ArrangementSolver::budgetFor(c.model);
    int moved = 0;
    for (auto _ : state) {
        const ArrangementSolver::Arrangement arrangement = ArrangementSolver::solve(c.model, c.seats, budget);
        if (arrangement.status != ArrangementSolver::Status::Solved)
            state.SkipWithError("not solved");
        moved = arrangement.moved;
    }
    state.counters["moved"] = moved;
}

void solvableClass(benchmark::State &state)
{
    std::mt19937 random(quint32(state.range(0)));
    static const Case c = missedTry(Solvable::makeHarderClass(random).model);
    completeTry(state, c);
}

void stress(benchmark::State &state)
{
    const Case c = largeCase(int(state.range(0)));
    completeTry(state, c);
}

// A pinned student together with one who must not sit with another student
// pinned to the same group: four settings, found among all the class's.
void conflict(benchmark::State &state)
{
    std::mt19937 random(7);
    Solvable::SolvableClass made = Solvable::makeClass(random);
    ClassModel &model = made.model;
    const Grouping &a = made.arrangement;
    const int first = model.enabledGroupIndexes().first() + 1;
    model.fixedPositions = {{a[0][0], FixedPosition{first, 1}}, {a[2][0], FixedPosition{first, 2}}};
    model.mustTogether.append({a[0][0], a[1][1]});
    model.mustSeparate.append({a[1][1], a[2][0]});
    qsizetype size = 0;
    for (auto _ : state) {
        const ArrangementSolver::Conflict found = ArrangementSolver::findConflict(model, ArrangementSolver::budgetFor(model));
        size = found.settings.size();
    }
    state.counters["settings"] = double(size);
}

} // namespace

BENCHMARK(solvableClass)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(stress)->Arg(60)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(conflict)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
