// The whole export (template choice, open, scan and fill, save, file check)
// with the built-in engine: the demo class into the shipped style-1 template,
// and templates of growing size full of seat markers.
#include "zipfixture.h"

#include "common/testenvironment.h"

#include "export/seatplanexport.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

SeatPlan::Reporter silentReporter()
{
    const auto ignore = [](const QString &) {};
    return {ignore, ignore, ignore, ignore};
}

void runExport(benchmark::State &state, const QTemporaryDir &dir, const ClassModel &model, const QString &style,
               const QString &configPath)
{
    const SeatPlan::Source source{model, style, configPath, dir.path()};
    const SeatPlan::Reporter reporter = silentReporter();
    const QString output = dir.filePath(QStringLiteral("plan.xlsx"));
    for (auto _ : state) {
        if (!SeatPlan::writeSeatTable(output, source, reporter)) {
            state.SkipWithError("export failed");
            return;
        }
    }
}

void BM_ExportDemoClassStyle1(benchmark::State &state)
{
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(QUORVANE_TEMPLATE_DIR "/座位样式1.xlsx"), dir.filePath(SeatPlan::kStyle1File));
    runExport(state, dir, loadDemoClassSeated(), QStringLiteral("样式1"), dir.filePath(QStringLiteral("config.ini")));
}

// A rows x columns sheet in which every cell is a seat marker (a quarter of
// them naming seats that exist), with the date marker in A1.
void BM_ExportMarkerGrid(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const int columns = int(state.range(1));
    QTemporaryDir dir;
    QByteArray strings = "<si><t>XXXX.XX.XX</t></si>";
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
            const int index = (r == 1 && c == 1) ? 0 : 1 + (r * 31 + c * 7) % (18 * 8);
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
    writeZip(dir.filePath(SeatPlan::kStyle1File),
             workbookParts({{"座位表", "<sheetData>" + data + "</sheetData>"}}, strings, styles));
    runExport(state, dir, loadDemoClassSeated(), QStringLiteral("样式1"), dir.filePath(QStringLiteral("config.ini")));
    state.counters["cells"] = double(rows) * columns;
}

} // namespace

BENCHMARK(BM_ExportDemoClassStyle1)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_ExportMarkerGrid)
    ->Args({50, 15})
    ->Args({100, 30})
    ->Args({200, 60})
    ->Args({400, 120})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
