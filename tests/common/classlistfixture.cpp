#include "common/classlistfixture.h"

#include "common/zipfixture.h"

#include "core/workbook/xlsx/workbook.h"

QString writeClassListWorkbook(const QString &path, const QList<QPair<QByteArray, SheetRows>> &sheets)
{
    QList<FixtureSheet> empty;
    for (const auto &sheet : sheets)
        empty.append({sheet.first, "<sheetData/>"});
    const QString blank = path + QStringLiteral(".blank");
    if (!writeZip(blank, workbookParts(empty)))
        qFatal("cannot write %s", qPrintable(blank));
    Xlsx::Workbook workbook(blank);
    for (int s = 0; s < sheets.size(); ++s) {
        const SheetRows &rows = sheets.at(s).second;
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows.at(r).size(); ++c)
                workbook.setText(workbook.sheet(s), r + 1, c + 1, rows.at(r).at(c));
        }
    }
    workbook.saveAs(path);
    return path;
}
