// "生成分组" as the user waits for it: the window is shown and exposed, and a
// run ends when the window has painted what the command changed (results
// table, log, status line). CPU time is the whole process's. Classes: the
// demo class and 250 and 1,000 persons (50 requirements of each kind, 20
// fixed positions), as the class's settings have them (the constraint solver
// on), and 1,000 persons with the solver off.
//
// Run it under a display (Xvfb); without DISPLAY it falls back to the
// offscreen platform, which lays the window out alike but paints nothing to a
// screen.
#include "ui/window/mainwindow.h"
#include "common/stressclass.h"
#include "common/testenvironment.h"

#include <QApplication>
#include <QTest>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class Window
{
public:
    explicit Window(const ClassModel &model, bool shown = true)
        : window(environment.makeWindow())
        , log(window->findChild<QTextEdit *>(QStringLiteral("logView")))
    {
        window->modelForTesting() = model;
        window->setSeedSourceForTesting([this] { return seed++; });
        if (shown) {
            window->show();
            if (!QTest::qWaitForWindowExposed(window.get()))
                qFatal("the window was never exposed");
        }
        settle();
    }

    void generate()
    {
        QMetaObject::invokeMethod(window.get(), "generateGroups");
        settle();
    }

    void clearLog()
    {
        log->clear();
        settle();
    }

    int logLines() const { return log->document()->blockCount(); }

private:
    // Paints what is pending, as the event loop does once the command returns.
    static void settle() { QCoreApplication::processEvents(); }

    TestEnvironment environment;
    std::unique_ptr<MainWindow> window;
    QTextEdit *log;
    quint32 seed = 1;
};

ClassModel classOf(int persons)
{
    return persons == 0 ? loadDemoClass() : stressClass(persons);
}

// A generation as the user usually meets it: the log holds the lines of one
// earlier generation (and shows its scroll bar). range(0) is the class size,
// 0 for the demo class.
void timeGeneration(benchmark::State &state, bool shown, bool solver = true)
{
    ClassModel model = classOf(int(state.range(0)));
    model.useSolver = model.useSolver && solver;
    Window window(model, shown);
    for (auto _ : state) {
        state.PauseTiming();
        window.clearLog();
        window.generate();
        state.ResumeTiming();
        window.generate();
    }
    state.counters["log lines"] = window.logLines();
}

void generate(benchmark::State &state)
{
    timeGeneration(state, true);
}

// The same with "无法满足要求时使用约束求解" off. The large classes hold
// requirements no arrangement can meet, and with the solver on most of their
// time goes to its search for one; this tells the rest.
void generateWithoutSolver(benchmark::State &state)
{
    timeGeneration(state, true, false);
}

// The range(0)-th demo generation in a row, from an empty log never cleared
// in between; the first one also lays the log out again when its scroll bar
// appears.
void nth(benchmark::State &state)
{
    Window window(loadDemoClass());
    const int earlier = int(state.range(0)) - 1;
    for (auto _ : state) {
        state.PauseTiming();
        window.clearLog();
        for (int i = 0; i < earlier; ++i)
            window.generate();
        state.ResumeTiming();
        window.generate();
    }
    state.counters["log lines"] = window.logLines();
}

// The same command in a window that is never shown: no layout, no painting.
// Not what the user waits for; kept to tell the engine's share from the screen's.
void generateUnshown(benchmark::State &state)
{
    timeGeneration(state, false);
}

} // namespace

BENCHMARK(generate)->ArgName("persons")->Arg(0)->Arg(250)->Arg(1000)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(generateWithoutSolver)->ArgName("persons")->Arg(1000)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(nth)->Arg(1)->Arg(2)->Arg(200)->Iterations(4)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(generateUnshown)->ArgName("persons")->Arg(0)->Arg(1000)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::AddCustomContext("platform", QGuiApplication::platformName().toStdString());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
