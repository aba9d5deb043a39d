// The whole export (template choice, open, scan and fill, save, check of the
// saved file) with the built-in engine: the demo class into the shipped
// style-1 template, and marker grids of growing size. With QUORVANE_BENCH_DIR
// set, templates and plans are kept there for side_by_side.py.
#include "common/zipfixture.h"

#include "common/testenvironment.h"

#include "core/workbook/seatplanexport.h"
#include "core/workbook/xlsx/package.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Where one benchmark keeps its template (as 座位样式1.xlsx) and its plan.
class Workspace
{
public:
    explicit Workspace(const QString &name)
    {
        const QByteArray kept = qgetenv("QUORVANE_BENCH_DIR");
        m_path = kept.isEmpty() ? m_temporary.path() : QString::fromLocal8Bit(kept) + u'/' + name;
        QDir().mkpath(m_path);
    }
    QString templatePath() const { return m_path + u'/' + SeatPlan::kStyle1File; }
    QString path() const { return m_path; }

private:
    QTemporaryDir m_temporary;
    QString m_path;
};

void runExport(benchmark::State &state, const Workspace &workspace)
{
    static const ClassModel model = loadDemoClassSeated();
    const SeatPlan::Source source{model, QStringLiteral("样式1"), workspace.path() + QStringLiteral("/config.ini"),
                                  workspace.path()};
    const auto ignore = [](const QString &) {};
    const SeatPlan::Reporter reporter{ignore, ignore, ignore, ignore};
    const QString output = workspace.path() + QStringLiteral("/plan.xlsx");
    for (auto _ : state) {
        if (!SeatPlan::writeSeatTable(output, source, reporter)) {
            state.SkipWithError("export failed");
            return;
        }
    }
    state.counters["bytes"] = double(QFile(output).size());
}

// A rows x columns sheet with the date marker in A1. One cell in `every`
// is a seat marker (g-s with g up to 18 and s up to 8, so that about a third
// name a seat of the demo class); the others hold a short text.
void writeGrid(const QString &path, int rows, int columns, int every)
{
    QByteArray strings = "<si><t>XXXX.XX.XX</t></si><si><t>桌</t></si>";
    for (int g = 1; g <= 18; ++g) {
        for (int s = 1; s <= 8; ++s)
            strings += "<si><t>" + QByteArray::number(g) + '-' + QByteArray::number(s) + "</t></si>";
    }
    QList<QByteArray> letters;
    for (int c = 1; c <= columns; ++c) {
        QByteArray name;
        for (int n = c; n > 0; n = (n - 1) / 26)
            name.prepend(char('A' + (n - 1) % 26));
        letters.append(name);
    }
    QByteArray data;
    for (int r = 1; r <= rows; ++r) {
        data += "<row r=\"" + QByteArray::number(r) + "\">";
        for (int c = 1; c <= columns; ++c) {
            const int cell = (r - 1) * columns + (c - 1);
            const int index = cell == 0 ? 0 : cell % every ? 1 : 2 + (r * 31 + c * 7) % (18 * 8);
            data += "<c r=\"" + letters.at(c - 1) + QByteArray::number(r) + "\" t=\"s\"><v>" + QByteArray::number(index)
                + "</v></c>";
        }
        data += "</row>";
    }
    const QByteArray styles =
        R"(<fonts count="1"><font><sz val="11"/><name val="宋体"/></font></fonts>)"
        R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
        R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
        R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
        R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>)";
    writeZip(path, workbookParts({{"座位表", "<sheetData>" + data + "</sheetData>"}}, strings, styles));
}

void BM_ExportDemoClassStyle1(benchmark::State &state)
{
    const Workspace workspace(QStringLiteral("demo"));
    QFile::remove(workspace.templatePath());
    QFile::copy(QStringLiteral(QUORVANE_TEMPLATE_DIR "/座位样式1.xlsx"), workspace.templatePath());
    runExport(state, workspace);
}

void BM_ExportMarkerGrid(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const int columns = int(state.range(1));
    const int every = int(state.range(2));
    const Workspace workspace(QStringLiteral("grid-%1x%2-%3").arg(rows).arg(columns).arg(every));
    writeGrid(workspace.templatePath(), rows, columns, every);
    runExport(state, workspace);
    state.counters["cells"] = double(rows) * columns;
}

// The demo class (every 0) and the 200 x 60 grids at deflate levels 1, 6
// and 9.
void BM_CompressionLevel(benchmark::State &state)
{
    const int every = int(state.range(1));
    const Workspace workspace(QStringLiteral("level-%1-%2").arg(state.range(0)).arg(every));
    QFile::remove(workspace.templatePath());
    if (every)
        writeGrid(workspace.templatePath(), 200, 60, every);
    else
        QFile::copy(QStringLiteral(QUORVANE_TEMPLATE_DIR "/座位样式1.xlsx"), workspace.templatePath());
    Xlsx::setCompressionLevelForTesting(int(state.range(0)));
    runExport(state, workspace);
    Xlsx::setCompressionLevelForTesting(-1);
}

} // namespace

BENCHMARK(BM_ExportDemoClassStyle1)->Unit(benchmark::kMillisecond);
// Rows, columns, one seat marker in how many cells.
BENCHMARK(BM_ExportMarkerGrid)
    ->ArgNames({"rows", "columns", "every"})
    ->Args({50, 15, 1})
    ->Args({200, 60, 1})
    ->Args({200, 60, 7})
    ->Args({400, 120, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompressionLevel)
    ->ArgNames({"level", "every"})
    ->ArgsProduct({{1, 6, 9}, {0, 1, 7}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
