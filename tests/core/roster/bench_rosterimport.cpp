// Reading a class list of 1,000 rows from an .xlsx workbook written by the
// project's own engine, and making a roster of it.
#include "common/classlistfixture.h"

#include "core/roster/rosterimport.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString writeClassList(const QTemporaryDir &dir, int rows)
{
    SheetRows cells = {{"学号", "姓名", "性别", "组长", "外宿生"}};
    for (int r = 0; r < rows; ++r) {
        cells.append({QString::number(20230000 + rows - r), QStringLiteral("学生%1").arg(r + 1),
                      r % 2 ? QStringLiteral("女") : QStringLiteral("男"), r % 9 == 0 ? QStringLiteral("是") : QString(),
                      r % 7 == 0 ? QStringLiteral("√") : QString()});
    }
    return writeClassListWorkbook(dir.filePath(QStringLiteral("class.xlsx")), {{"名单", cells}});
}

void BM_ReadClassListXlsx(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeClassList(dir, int(state.range(0)));
    for (auto _ : state) {
        const RosterImport import = interpretRoster(readTableFile(path));
        if (import.boys.size() + import.girls.size() != state.range(0)) {
            state.SkipWithError("wrong number of people");
            return;
        }
        benchmark::DoNotOptimize(import);
    }
}
BENCHMARK(BM_ReadClassListXlsx)->Arg(54)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
