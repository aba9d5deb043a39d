// Time of one generation run, and of "生成分组" with the default tries: the
// demo class and classes of 60, 250 and 1,000 persons with 50 requirements of
// each kind and 20 fixed positions.
#include "app/mainwindow.h"
#include "common/testenvironment.h"
#include "config/configstore.h"
#include "engine/engine.h"
#include "engine/generation.h"

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

void runEngine(benchmark::State &state, const ClassModel &model)
{
    QStringList lines;
    const LogSink sink = [&lines](const QString &line) { lines.append(line); };
    quint32 seed = 1;
    const SeedSource seeds = [&seed] { return seed++; };
    for (auto _ : state) {
        lines.clear();
        benchmark::DoNotOptimize(Engine::buildGroups(model, sink, seeds));
    }
    state.counters["log lines"] = double(lines.size());
}

// Best of the default tries; the counters tell how many ran.
void runGeneration(benchmark::State &state, const ClassModel &model)
{
    quint32 seed = 1;
    Engine::GenerationOptions options;
    options.trySeeds = [&seed] { return seed++; };
    double tries = 0;
    for (auto _ : state) {
        const Engine::GenerationResult result = Engine::generate(model, LogSink(), options);
        tries += result.triesRun;
        benchmark::DoNotOptimize(result.groups);
    }
    state.counters["tries"] = benchmark::Counter(tries, benchmark::Counter::kAvgIterations);
}

void demo(benchmark::State &state)
{
    runEngine(state, loadDemoClass());
}

void stress(benchmark::State &state)
{
    runEngine(state, stressClass(int(state.range(0))));
}

void generateDemo(benchmark::State &state)
{
    runGeneration(state, loadDemoClass());
}

void generateStress(benchmark::State &state)
{
    runGeneration(state, stressClass(int(state.range(0))));
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
BENCHMARK(generateDemo)->Unit(benchmark::kMicrosecond);
BENCHMARK(generateStress)->Arg(60)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
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
