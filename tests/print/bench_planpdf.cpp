// The demo class's plan as PDF, in memory: layout, drawing, the writer and
// the repair of its ToUnicode maps.
#include "common/testenvironment.h"
#include "print/planpainter.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

void BM_PlanPdfDemoClass(benchmark::State &state)
{
    const SeatingPlan plan = seatingPlanOf(loadDemoClassSeated(), QStringLiteral("2025.10.08"));
    const PlanView view = state.range(0) == 0 ? PlanView::Student : PlanView::Teacher;
    for (auto _ : state)
        benchmark::DoNotOptimize(seatingPlanPdf(plan, view));
}

} // namespace

// 0: student view, 1: teacher view.
BENCHMARK(BM_PlanPdfDemoClass)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

// Fonts and the PDF writer need a GUI application; offscreen is enough.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
