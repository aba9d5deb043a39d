// Reading a class list of 1,000 rows from an .xlsx workbook written by the
// project's own engine, and making a roster of it.
#include "zipfixture.h"

#include "export/xlsx/workbook.h"
#include "import/rosterimport.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString writeClassList(const QTemporaryDir &dir, int rows)
{
    const QString blank = dir.filePath(QStringLiteral("blank.xlsx"));
    writeZip(blank, workbookParts({{"名单", "<sheetData/>"}}));
    Xlsx::Workbook workbook(blank);
    Xlsx::Sheet &sheet = workbook.sheet(0);
    const QStringList header = {"学号", "姓名", "性别", "组长", "外宿生"};
    for (int c = 0; c < header.size(); ++c)
        workbook.setText(sheet, 1, c + 1, header.at(c));
    for (int r = 0; r < rows; ++r) {
        workbook.setText(sheet, r + 2, 1, QString::number(20230000 + rows - r));
        workbook.setText(sheet, r + 2, 2, QStringLiteral("学生%1").arg(r + 1));
        workbook.setText(sheet, r + 2, 3, r % 2 ? QStringLiteral("女") : QStringLiteral("男"));
        workbook.setText(sheet, r + 2, 4, r % 9 == 0 ? QStringLiteral("是") : QString());
        workbook.setText(sheet, r + 2, 5, r % 7 == 0 ? QStringLiteral("√") : QString());
    }
    const QString path = dir.filePath(QStringLiteral("class.xlsx"));
    workbook.saveAs(path);
    return path;
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
