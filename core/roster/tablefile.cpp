#include "core/roster/tablefile.h"

#include "core/roster/delimitedtext.h"
#include "core/storage/textdecoding.h"
#include "core/roster/worksheetrows.h"

#include <QDir>
#include <QFile>

namespace {

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

void TableFile::append(const TableRow &row)
{
    ++rowCount;
    if (rows.size() < kKeptRows)
        rows.append(row);
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
    const QByteArray head = file.peek(8);
    if (head.startsWith("PK\x03\x04")) {
        file.close();
        readWorksheetRows(path, sheetIndex, table);
        return table;
    }
    if (head.startsWith("\xD0\xCF\x11\xE0")) {
        table.error = QStringLiteral("文件 %1 是旧的 .xls 格式，无法直接读取。请在表格程序中把它另存为 .xlsx 或 CSV 文件后再导入。")
                          .arg(name);
        return table;
    }
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) {
        table.error = QStringLiteral("文件 %1 已损坏或不是有效的 xlsx 工作簿，无法读取。").arg(name);
        return table;
    }
    if (file.size() > kMaxTextFileSize) {
        table.error = QStringLiteral("文件 %1 过大，不是一个班的名单。").arg(name);
        return table;
    }

    const DecodedText decoded = decodeText(file.readAll());
    if (!decoded.ok() || !looksLikeText(decoded.text)) {
        table.error = QStringLiteral("文件 %1 不是表格文件。只能导入 .xlsx 工作簿或 CSV、文本文件。").arg(name);
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
