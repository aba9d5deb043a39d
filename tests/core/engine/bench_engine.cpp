// Time of the engine alone, one run and "生成分组" with the default tries: the
// demo class and classes of 60, 250 and 1,000 persons with 50 requirements of
// each kind and 20 fixed positions; the same with "尽量避免与上次同组" against
// another run of the class; and the repeated groupmates of 20 weekly
// arrangements of the demo class. The command as the user sees it is in
// tests/app/bench_window.cpp.
#include "common/stressclass.h"
#include "common/testenvironment.h"
#include "core/storage/configstore.h"
#include "core/engine/engine.h"
#include "core/engine/freshgroupmates.h"
#include "core/engine/generation.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

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

// Best of the default tries; the counter tells how many ran.
void runGeneration(benchmark::State &state, const ClassModel &model, const Grouping &previous = {})
{
    quint32 seed = 1;
    Engine::GenerationOptions options;
    options.trySeeds = [&seed] { return seed++; };
    options.previous = previous;
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

// 20 weekly arrangements of the demo class, each new week against the last,
// made as "生成分组" makes them with the given tries; the counters give the
// mean repeated pairs over the 19 changes of week, averaged over 50 terms,
// with the switch off and on.
void weekly(benchmark::State &state)
{
    const ClassModel plain = loadDemoClass();
    ClassModel fresh = plain;
    fresh.avoidLastGroupmates = true;
    constexpr int kWeeks = 20;
    constexpr int kTerms = 50;
    const auto week = [&state](const ClassModel &model, quint32 firstSeed, const Grouping &last) {
        quint32 seed = firstSeed;
        Engine::GenerationOptions options;
        options.tries = int(state.range(0));
        options.trySeeds = [&seed] { return seed++; };
        options.previous = last;
        return Engine::generate(model, LogSink(), options).groups;
    };
    double off = 0;
    double on = 0;
    for (auto _ : state) {
        off = on = 0;
        for (quint32 term = 0; term < kTerms; ++term) {
            Grouping lastOff;
            Grouping lastOn;
            for (quint32 w = 0; w < kWeeks; ++w) {
                const quint32 seed = term * 100000 + w * 1000;
                const Grouping nowOff = week(plain, seed, {});
                const Grouping nowOn = week(fresh, seed, lastOn);
                if (w > 0) {
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

void generateDemo(benchmark::State &state)
{
    runGeneration(state, loadDemoClass());
}

void generateStress(benchmark::State &state)
{
    runGeneration(state, stressClass(int(state.range(0))));
}

void generateFreshDemo(benchmark::State &state)
{
    ClassModel model = loadDemoClass();
    model.avoidLastGroupmates = true;
    runGeneration(state, model, otherRun(model));
}

void generateFreshStress(benchmark::State &state)
{
    ClassModel model = stressClass(int(state.range(0)));
    model.avoidLastGroupmates = true;
    runGeneration(state, model, otherRun(model));
}

} // namespace

BENCHMARK(demo)->Unit(benchmark::kMicrosecond);
BENCHMARK(stress)->Arg(60)->Arg(250)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(generateDemo)->Unit(benchmark::kMicrosecond);
BENCHMARK(generateStress)->Arg(60)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(freshDemo)->Unit(benchmark::kMicrosecond);
BENCHMARK(freshStress)->Arg(60)->Arg(250)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(unpinned)->ArgsProduct({{60, 250, 1000}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(generateFreshDemo)->Unit(benchmark::kMicrosecond);
BENCHMARK(generateFreshStress)->Arg(60)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(weekly)->Arg(1)->Arg(kDefaultGenerationTries)->Unit(benchmark::kMillisecond)->Iterations(1);

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
