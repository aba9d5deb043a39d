#include "core/roster/xlsrows.h"

#include "core/roster/worksheetrows.h"
#include "core/roster/xlshiddenrows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <freexl.h>

namespace {

// A class list in the old format is tens of kilobytes; FreeXL keeps a
// sheet's whole grid in memory.
constexpr qint64 kMaxXlsSize = 64 * 1024 * 1024;

class XlsHandle
{
public:
    explicit XlsHandle(const QString &path) { m_status = freexl_open(QFile::encodeName(path).constData(), &m_handle); }
    ~XlsHandle() { freexl_close(m_handle); }
    XlsHandle(const XlsHandle &) = delete;
    XlsHandle &operator=(const XlsHandle &) = delete;

    bool isOpen() const { return m_status == FREEXL_OK; }
    int status() const { return m_status; }
    const void *get() const { return m_handle; }

private:
    const void *m_handle = nullptr;
    int m_status = FREEXL_OK;
};

QString cellText(const FreeXL_CellValue &value)
{
    switch (value.type) {
    case FREEXL_CELL_INT:
        return QString::number(value.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return numberCellText(value.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return value.value.text_value ? QString::fromUtf8(value.value.text_value) : QString();
    default:
        return QString();
    }
}

} // namespace

void readXlsRows(const QString &path, int sheetIndex, TableFile &table)
{
    const QString name = QDir::toNativeSeparators(path);
    const auto damaged = [&table, &name] {
        table = TableFile();
        table.error = QStringLiteral("文件 %1 已损坏或不是有效的 xls 工作簿，无法读取。").arg(name);
    };
    if (QFileInfo(path).size() > kMaxXlsSize) {
        damaged();
        return;
    }
    const XlsHandle xls(path);
    unsigned int password = 0;
    if (xls.isOpen() && freexl_get_info(xls.get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK
        && password == FREEXL_BIFF_OBFUSCATED) {
        table.error = QStringLiteral("工作簿 %1 设有密码，无法读取。请在表格程序中去掉密码或另存为 .xlsx 后再导入。").arg(name);
        return;
    }
    unsigned int sheetCount = 0;
    if (!xls.isOpen() || freexl_get_info(xls.get(), FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK) {
        damaged();
        return;
    }
    for (unsigned int i = 0; i < sheetCount && i < 0xFFFF; ++i) {
        const char *sheetName = nullptr;
        freexl_get_worksheet_name(xls.get(), static_cast<unsigned short>(i), &sheetName);
        table.sheetNames.append(sheetName ? QString::fromUtf8(sheetName) : QStringLiteral("第 %1 个工作表").arg(i + 1));
    }
    if (table.sheetNames.isEmpty()) {
        table.error = QStringLiteral("工作簿 %1 中没有工作表。").arg(name);
        return;
    }
    table.sheetIndex = sheetIndex >= 0 && sheetIndex < table.sheetNames.size() ? sheetIndex : 0;
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(xls.get(), static_cast<unsigned short>(table.sheetIndex)) != FREEXL_OK
        || freexl_worksheet_dimensions(xls.get(), &rows, &columns) != FREEXL_OK) {
        damaged();
        return;
    }
    const unsigned short width = qMin<unsigned short>(columns, kMaxListColumns);
    const QSet<int> hidden = hiddenXlsRows(path, table.sheetIndex);
    for (unsigned int r = 0; r < rows; ++r) {
        TableRow row{int(r + 1), {}, hidden.contains(int(r + 1))};
        for (unsigned short c = 0; c < width; ++c) {
            FreeXL_CellValue value;
            const QString text = freexl_get_cell_value(xls.get(), r, c, &value) == FREEXL_OK ? cellText(value) : QString();
            row.cells.append(text);
        }
        while (!row.cells.isEmpty() && row.cells.constLast().isEmpty())
            row.cells.removeLast();
        if (!row.isBlank())
            table.append(row);
    }
}
