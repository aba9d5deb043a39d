#include "common/classlistfixture.h"

#include "common/zipfixture.h"

#include "core/roster/rosterimport.h"
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

QString rosterSummary(const RosterImport &import)
{
    return QStringList{import.boyNames().join(u' '), import.girlNames().join(u' '), import.leaderNames().join(u' '),
                       import.boarderNames().join(u' ')}
        .join(u'|');
}

QStringList rosterProblems(const RosterImport &import)
{
    QStringList lines;
    for (const RowProblem &problem : import.problems)
        lines.append(QStringLiteral("%1:%2").arg(problem.row).arg(problem.text));
    return lines;
}
