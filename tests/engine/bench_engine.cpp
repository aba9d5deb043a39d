// Time of one generation run: the demo class and classes of 60, 250 and
// 1,000 persons with 50 requirements of each kind and 20 fixed positions;
// the same with "尽量避免与上次同组" against another run of the class; and the
// repeated groupmates of 20 weekly arrangements of the demo class.
#include "app/mainwindow.h"
#include "common/testenvironment.h"
#include "config/configstore.h"
#include "engine/engine.h"
#include "engine/freshgroupmates.h"

#include <QApplication>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <random>

namespace {

// Ten groups of persons/10 seats, half boys; every tenth person a leader and
// every tenth (shifted) a boarder.
ClassModel stressClass(int persons)
{
    std::mt19937 random(1234);
    ClassModel model;
    for (int i = 0; i < persons; ++i) {
        const QString name = QStringLiteral("学生%1").arg(i + 1, 4, 10, QLatin1Char('0'));
        (i < persons / 2 ? model.maleNames : model.femaleNames).append(name);
        if (i % 10 == 3)
            model.leaderNames.insert(name);
        if (i % 10 == 7)
            model.boarderNames.insert(name);
    }
    model.rebuildNameMaps();
    const int seats = persons / 10;
    for (int i = 0; i < kGroupCount; ++i)
        model.groupConfigs[i] = GroupConfig{true, seats, seats / 2, seats - seats / 2};

    auto anyPerson = [&] { return PersonId(1 + random() % quint32(persons)); };
    auto threeDistinct = [&] {
        Constraint members;
        while (members.size() < 3) {
            const PersonId id = anyPerson();
            if (!members.contains(id))
                members.append(id);
        }
        return members;
    };
    for (int r = 0; r < 50; ++r) {
        model.mustTogether.append(threeDistinct());
        model.mustSeparate.append(threeDistinct());
    }
    while (model.fixedPositions.size() < 20) {
        const FixedPosition seat{int(1 + random() % 10), int(1 + random() % quint32(seats))};
        model.fixedPositions.insert(anyPerson(), seat);
    }
    return model;
}

void runEngine(benchmark::State &state, const ClassModel &model, const Grouping &previous = {})
{
    QStringList lines;
    const LogSink sink = [&lines](const QString &line) { lines.append(line); };
    quint32 seed = 1;
    const SeedSource seeds = [&seed] { return seed++; };
    for (auto _ : state) {
        lines.clear();
        benchmark::DoNotOptimize(Engine::buildGroups(model, sink, seeds, previous));
    }
    state.counters["log lines"] = double(lines.size());
}

void demo(benchmark::State &state)
{
    runEngine(state, loadDemoClass());
}

void stress(benchmark::State &state)
{
    runEngine(state, stressClass(int(state.range(0))));
}

// Last time: a run of the same class from another seed.
Grouping otherRun(const ClassModel &model)
{
    return Engine::buildGroups(model, {}, seedSequence(777));
}

void freshDemo(benchmark::State &state)
{
    ClassModel model = loadDemoClass();
    model.avoidLastGroupmates = true;
    runEngine(state, model, otherRun(model));
}

void freshStress(benchmark::State &state)
{
    ClassModel model = stressClass(int(state.range(0)));
    model.avoidLastGroupmates = true;
    runEngine(state, model, otherRun(model));
}

// The stress class without requirements and pins: every student may trade,
// so the step's share of the run shows how it grows with the class.
void unpinned(benchmark::State &state)
{
    ClassModel model = stressClass(int(state.range(0)));
    model.mustTogether.clear();
    model.mustSeparate.clear();
    model.fixedPositions.clear();
    model.avoidLastGroupmates = state.range(1) != 0;
    runEngine(state, model, otherRun(model));
}

// 20 weekly arrangements of the demo class, each new week against the last;
// the counters give the mean repeated pairs over the 19 changes of week,
// averaged over 50 terms (seeds), with the switch off and on.
void weekly(benchmark::State &state)
{
    const ClassModel plain = loadDemoClass();
    ClassModel fresh = plain;
    fresh.avoidLastGroupmates = true;
    constexpr int kWeeks = 20;
    constexpr int kTerms = 50;
    double off = 0;
    double on = 0;
    for (auto _ : state) {
        off = on = 0;
        for (quint32 term = 0; term < kTerms; ++term) {
            Grouping lastOff;
            Grouping lastOn;
            for (quint32 week = 0; week < kWeeks; ++week) {
                const quint32 seed = term * 1000 + week;
                const Grouping nowOff = Engine::buildGroups(plain, {}, seedSequence(seed));
                const Grouping nowOn = Engine::buildGroups(fresh, {}, seedSequence(seed), lastOn);
                if (week > 0) {
                    off += FreshGroupmates::repeatedPairs(nowOff, lastOff);
                    on += FreshGroupmates::repeatedPairs(nowOn, lastOn);
                }
                lastOff = nowOff;
                lastOn = nowOn;
            }
        }
    }
    state.counters["repeated pairs off"] = off / (kTerms * (kWeeks - 1));
    state.counters["repeated pairs on"] = on / (kTerms * (kWeeks - 1));
}

// The whole command in the window: busy dialog, engine, table and every log
// line appended to the log view (emptied before each run).
void window(benchmark::State &state)
{
    TestEnvironment environment;
    auto window = environment.makeWindow();
    window->modelForTesting() = stressClass(int(state.range(0)));
    quint32 seed = 1;
    window->setSeedSourceForTesting([&seed] { return seed++; });
    auto *log = window->findChild<QTextEdit *>(QStringLiteral("logView"));
    for (auto _ : state) {
        state.PauseTiming();
        log->clear();
        state.ResumeTiming();
        QMetaObject::invokeMethod(window.get(), "generateGroups");
    }
    state.counters["log lines"] = double(log->document()->blockCount());
}

} // namespace

BENCHMARK(demo)->Unit(benchmark::kMicrosecond);
BENCHMARK(stress)->Arg(60)->Arg(250)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(freshDemo)->Unit(benchmark::kMicrosecond);
BENCHMARK(freshStress)->Arg(60)->Arg(250)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(unpinned)->ArgsProduct({{60, 250, 1000}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(weekly)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(window)->Arg(60)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
