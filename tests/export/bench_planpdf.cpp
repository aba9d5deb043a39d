// The printed plan as PDF, in memory: layout, drawing, the writer and the
// repair of its ToUnicode maps, for the demo class and a group of 100.
#include "common/testenvironment.h"
#include "export/planpainter.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

ClassModel groupOfHundred()
{
    QStringList names;
    for (int i = 1; i <= 148; ++i)
        names.append(QStringLiteral("学生%1").arg(i, 3, 10, QLatin1Char('0')));
    ClassModel model = ClassModel::fromRoster(names, {});
    model.groupConfigs[0].total = 100;
    Group first;
    for (int id = 1; id <= 100; ++id)
        first.append(id);
    model.generatedGroups.append(first);
    for (int group = 0; group < 8; ++group) {
        Group members;
        for (int seat = 1; seat <= 6; ++seat)
            members.append(100 + group * 6 + seat);
        model.generatedGroups.append(members);
    }
    return model;
}

void renderPdf(benchmark::State &state, const ClassModel &model, PlanView view)
{
    const SeatingPlan plan = seatingPlanOf(model, QStringLiteral("2025.10.08"));
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray pdf = seatingPlanPdf(plan, view);
        bytes = pdf.size();
        benchmark::DoNotOptimize(pdf.constData());
    }
    state.counters["bytes"] = double(bytes);
}

void BM_PlanPdfDemoClassStudent(benchmark::State &state)
{
    renderPdf(state, loadDemoClassSeated(), PlanView::Student);
}

void BM_PlanPdfDemoClassTeacher(benchmark::State &state)
{
    renderPdf(state, loadDemoClassSeated(), PlanView::Teacher);
}

void BM_PlanPdfGroupOfHundred(benchmark::State &state)
{
    renderPdf(state, groupOfHundred(), PlanView::Student);
}

} // namespace

BENCHMARK(BM_PlanPdfDemoClassStudent)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlanPdfDemoClassTeacher)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlanPdfGroupOfHundred)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

// Fonts and the PDF writer need a GUI application (offscreen is enough).
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
