#include "core/roster/tablefile.h"

#include "core/roster/delimitedtext.h"
#include "core/roster/filekind.h"
#include "core/roster/odsrows.h"
#include "core/roster/xlsrows.h"
#include "core/storage/textdecoding.h"
#include "core/roster/worksheetrows.h"

#include <QDir>
#include <QFile>

namespace {

const QString kReadableKinds =
    QStringLiteral("能导入的是 Excel 工作簿（.xlsx、.xls）、WPS 表格（.et）、OpenDocument 表格（.ods）和 CSV、文本文件。");

// A class list saved as text is a few kilobytes.
constexpr qint64 kMaxTextFileSize = 16 * 1024 * 1024;

// Bytes that decode but hold control characters are not text: an image or
// a program that happens to be valid GB18030.
bool looksLikeText(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
    }
    return true;
}

} // namespace

// Shown and hidden rows are kept up to the limit each: a grade-wide list
// filtered to one class hides far more rows than it shows.
void TableFile::append(const TableRow &row)
{
    ++rowCount;
    hiddenRowCount += row.hidden ? 1 : 0;
    const qsizetype kept = row.hidden ? m_hiddenKept : rows.size() - m_hiddenKept;
    if (kept >= kKeptRows)
        return;
    rows.append(row);
    m_hiddenKept += row.hidden ? 1 : 0;
}

TableFile readTableFile(const QString &path, int sheetIndex)
{
    TableFile table;
    const QString name = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        table.error = QStringLiteral("无法打开文件 %1").arg(name);
        return table;
    }
    const FileKind kind = identifyListFile(path);
    switch (kind.format) {
    case ListFormat::Xlsx:
        file.close();
        readWorksheetRows(path, sheetIndex, table);
        return table;
    case ListFormat::Xls:
        file.close();
        readXlsRows(path, sheetIndex, table);
        return table;
    case ListFormat::Ods:
        file.close();
        readOdsRows(path, sheetIndex, table);
        return table;
    case ListFormat::Other:
        table.error = QStringLiteral("文件 %1 是%2，不是名单表格。%3").arg(name, kind.otherKind, kReadableKinds);
        return table;
    case ListFormat::Text:
        break;
    }
    if (file.size() > kMaxTextFileSize) {
        table.error = QStringLiteral("文件 %1 过大，不是一个班的名单。").arg(name);
        return table;
    }

    const DecodedText decoded = decodeText(file.readAll());
    if (!decoded.ok() || !looksLikeText(decoded.text)) {
        table.error = QStringLiteral("文件 %1 不是表格文件。%2").arg(name, kReadableKinds);
        return table;
    }
    table.encoding = decoded.encoding;
    const DelimitedText parsed = parseDelimitedText(decoded.text, detectSeparator(decoded.text));
    for (const TableRow &row : parsed.rows) {
        if (!row.isBlank())
            table.append(row);
    }
    if (parsed.unterminatedRow > 0)
        table.problems.append({parsed.unterminatedRow, QStringLiteral("引号没有配对，从此行起的内容无法读取，未导入")});
    return table;
}
