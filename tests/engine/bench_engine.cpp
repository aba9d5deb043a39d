// Time of the engine alone, one run and "生成分组" with the default tries: the
// demo class and classes of 60, 250 and 1,000 persons with 50 requirements of
// each kind and 20 fixed positions. The command as the user sees it is in
// tests/app/bench_window.cpp.
#include "common/stressclass.h"
#include "common/testenvironment.h"
#include "config/configstore.h"
#include "engine/engine.h"
#include "engine/generation.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

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

// Best of the default tries; the counter tells how many ran.
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

} // namespace

BENCHMARK(demo)->Unit(benchmark::kMicrosecond);
BENCHMARK(stress)->Arg(60)->Arg(250)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(generateDemo)->Unit(benchmark::kMicrosecond);
BENCHMARK(generateStress)->Arg(60)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);

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
