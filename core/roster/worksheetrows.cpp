#include "core/roster/worksheetrows.h"

#include "core/workbook/automation.h"
#include "core/workbook/xlsx/workbook.h"

#include <QDir>
#include <QVariant>

#include <cmath>

namespace {

// Student numbers and 1/2 codes are often stored as numbers.
QString cellText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
        return numberCellText(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        return value.toString();
    }
}

} // namespace

QString numberCellText(double number)
{
    if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 1e15)
        return QString::number(qint64(number));
    return QString::number(number, 'g', 15);
}

void readWorksheetRows(const QString &path, int sheetIndex, TableFile &table)
{
    const QString name = QDir::toNativeSeparators(path);
    try {
        Xlsx::Workbook workbook(path);
        QList<int> worksheets;
        for (int i = 0; i < workbook.sheetCount(); ++i) {
            if (workbook.isWorksheet(i)) {
                worksheets.append(i);
                table.sheetNames.append(workbook.sheetName(i));
            }
        }
        if (worksheets.isEmpty()) {
            table.error = QStringLiteral("工作簿 %1 中没有工作表。").arg(name);
            return;
        }
        table.sheetIndex = sheetIndex >= 0 && sheetIndex < worksheets.size() ? sheetIndex : 0;
        const Xlsx::Sheet &sheet = workbook.sheet(worksheets.at(table.sheetIndex));
        for (int number : sheet.rowNumbers()) {
            TableRow row{number, {}, sheet.isRowHidden(number)};
            for (int column : sheet.columnsOf(number)) {
                if (column > kMaxListColumns)
                    break;
                const QString text = cellText(workbook.value(sheet, number, column));
                if (text.isEmpty())
                    continue;
                while (row.cells.size() < column - 1)
                    row.cells.append(QString());
                row.cells.append(text);
            }
            if (!row.isBlank())
                table.append(row);
        }
    } catch (const Automation::Error &) {
        // The engine's own texts speak of templates; say what matters here.
        table = TableFile();
        table.error = QStringLiteral("文件 %1 已损坏或不是有效的 xlsx 工作簿，无法读取。").arg(name);
    }
}
