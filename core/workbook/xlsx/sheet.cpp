#include "core/workbook/xlsx/sheet.h"

#include "core/workbook/automation.h"
#include "core/workbook/xlsx/xml.h"

#include <algorithm>
#include <cstring>

namespace Xlsx {

bool parseCellReference(std::string_view reference, int &row, int &column)
{
    size_t i = 0;
    qint64 col = 0;
    while (i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z' && i < 3)
        col = col * 26 + (reference[i++] - 'A' + 1);
    if (i == 0 || i == reference.size())
        return false;
    qint64 r = 0;
    for (size_t j = i; j < reference.size(); ++j) {
        const char ch = reference[j];
        if (ch < '0' || ch > '9' || j - i >= 7)
            return false;
        r = r * 10 + (ch - '0');
    }
    if (r < 1 || r > kMaxRows || col < 1 || col > kMaxColumns)
        return false;
    row = int(r);
    column = int(col);
    return true;
}

QByteArray cellReference(int row, int column)
{
    QByteArray letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(char('A' + (c - 1) % 26));
    return letters + QByteArray::number(row);
}

bool mayHoldFormulas(const QByteArray &worksheetXml)
{
    const char *const begin = worksheetXml.constData();
    const char *const end = begin + worksheetXml.size();
    const auto isNameChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
            || c == '.';
    };
    for (const char *f = begin; (f = static_cast<const char *>(std::memchr(f, 'f', size_t(end - f)))); ++f) {
        if (f == begin || f + 1 == end)
            continue;
        const char next = f[1];
        if (next != '>' && next != '/' && next != ' ' && next != '\t' && next != '\n' && next != '\r')
            continue;
        if (f[-1] == '<')
            return true;
        if (f[-1] != ':')
            continue;
        const char *start = f - 1;
        while (start > begin && isNameChar(start[-1]))
            --start;
        if (start > begin && start < f - 1 && start[-1] == '<')
            return true;
    }
    return false;
}

Sheet::Sheet(const QByteArray &xml, const QString &partName)
    : m_partName(partName)
    , m_formulas(mayHoldFormulas(xml))
{
    parsePart(m_document, xml, partName);
    m_sheetData = child(m_document.document_element(), "sheetData");
    if (!m_sheetData)
        throw Automation::Error(QStringLiteral("模板中的 %1 不是普通工作表").arg(partName));
    m_prefix = prefixOf(m_sheetData);
    m_valueName = m_prefix + "v";

    const auto bad = [&](const QString &what) {
        return Automation::Error(QStringLiteral("模板中的 %1 含有无效的%2").arg(partName, what));
    };
    int previousRow = 0;
    for (pugi::xml_node rowNode = m_sheetData.first_child(); rowNode; rowNode = rowNode.next_sibling()) {
        if (rowNode.type() != pugi::node_element || !hasLocalName(rowNode, "row"))
            continue;
        int rowNumber = previousRow + 1;
        if (pugi::xml_attribute r = rowNode.attribute("r")) {
            rowNumber = r.as_int(0);
        } else {
            rowNode.append_attribute("r") = rowNumber;
        }
        if (rowNumber <= previousRow || rowNumber > kMaxRows)
            throw bad(QStringLiteral("行号"));
        previousRow = rowNumber;

        m_rows.push_back(Row{rowNumber, rowNode, {}});
        std::vector<CellEntry> &cells = m_rows.back().cells;
        int previousColumn = 0;
        for (pugi::xml_node cellNode = rowNode.first_child(); cellNode; cellNode = cellNode.next_sibling()) {
            if (cellNode.type() != pugi::node_element || !hasLocalName(cellNode, "c"))
                continue;
            int cellRow = rowNumber;
            int column = previousColumn + 1;
            if (pugi::xml_attribute r = cellNode.attribute("r")) {
                if (!parseCellReference(r.value(), cellRow, column))
                    throw bad(QStringLiteral("单元格引用 %1").arg(text(r.value())));
            } else {
                cellNode.append_attribute("r") = cellReference(rowNumber, column).constData();
            }
            if (cellRow != rowNumber || column <= previousColumn || column > kMaxColumns)
                throw bad(QStringLiteral("单元格顺序"));
            previousColumn = column;
            cells.push_back(CellEntry{column, cellNode});
        }
    }
}

Sheet::Bounds Sheet::usedBounds() const
{
    Bounds bounds;
    bool any = false;
    for (const Row &row : m_rows) {
        if (row.cells.empty())
            continue;
        const int first = row.cells.front().column;
        const int last = row.cells.back().column;
        if (!any) {
            bounds = {row.number, first, row.number, last};
            any = true;
            continue;
        }
        bounds.lastRow = row.number;
        bounds.firstColumn = qMin(bounds.firstColumn, first);
        bounds.lastColumn = qMax(bounds.lastColumn, last);
    }
    return bounds;
}

size_t Sheet::rowIndex(int row) const
{
    const size_t count = m_rows.size();
    for (size_t guess : {m_lastRow, m_lastRow + 1}) {
        if (guess < count && m_rows[guess].number >= row && (guess == 0 || m_rows[guess - 1].number < row))
            return m_lastRow = guess;
    }
    const auto found = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                                        [](const Row &entry, int number) { return entry.number < number; });
    return m_lastRow = size_t(found - m_rows.begin());
}

pugi::xml_node Sheet::cell(int row, int column) const
{
    if (row == m_lastCellRow && column == m_lastCellColumn)
        return m_lastCell;
    m_lastCellRow = row;
    m_lastCellColumn = column;
    m_lastCell = pugi::xml_node();
    const size_t index = rowIndex(row);
    if (index == m_rows.size() || m_rows[index].number != row)
        return m_lastCell;
    const std::vector<CellEntry> &cells = m_rows[index].cells;
    const auto found = std::lower_bound(cells.begin(), cells.end(), column,
                                        [](const CellEntry &entry, int number) { return entry.column < number; });
    if (found != cells.end() && found->column == column)
        m_lastCell = found->node;
    return m_lastCell;
}

QList<int> Sheet::rowNumbers() const
{
    QList<int> numbers;
    numbers.reserve(qsizetype(m_rows.size()));
    for (const Row &row : m_rows)
        numbers.append(row.number);
    return numbers;
}

QList<int> Sheet::columnsOf(int row) const
{
    QList<int> columns;
    const size_t index = rowIndex(row);
    if (index == m_rows.size() || m_rows[index].number != row)
        return columns;
    for (const CellEntry &entry : m_rows[index].cells)
        columns.append(entry.column);
    return columns;
}

bool Sheet::isRowHidden(int row) const
{
    const size_t index = rowIndex(row);
    if (index == m_rows.size() || m_rows[index].number != row)
        return false;
    const QByteArray hidden(m_rows[index].node.attribute("hidden").value());
    return hidden == "1" || hidden == "true";
}

pugi::xml_node Sheet::ensureCell(int row, int column)
{
    if (pugi::xml_node existing = cell(row, column))
        return existing;
    const QByteArray &prefix = m_prefix;
    size_t index = rowIndex(row);
    if (index == m_rows.size() || m_rows[index].number != row) {
        const QByteArray name = prefix + "row";
        pugi::xml_node node = index == m_rows.size()
            ? m_sheetData.append_child(name.constData())
            : m_sheetData.insert_child_before(name.constData(), m_rows[index].node);
        node.append_attribute("r") = row;
        m_rows.insert(m_rows.begin() + qsizetype(index), Row{row, node, {}});
    }
    Row &target = m_rows[index];
    const auto next = std::lower_bound(target.cells.begin(), target.cells.end(), column,
                                       [](const CellEntry &entry, int number) { return entry.column < number; });
    const QByteArray name = prefix + "c";
    pugi::xml_node node = next == target.cells.end() ? target.node.append_child(name.constData())
                                                     : target.node.insert_child_before(name.constData(), next->node);
    node.append_attribute("r") = cellReference(row, column).constData();
    target.cells.insert(next, CellEntry{column, node});
    m_lastCellRow = row;
    m_lastCellColumn = column;
    m_lastCell = node;
    m_dirty = true;
    return node;
}

void Sheet::dropFormulaResults()
{
    if (!m_formulas)
        return;
    for (const Row &row : m_rows) {
        for (const CellEntry &entry : row.cells) {
            pugi::xml_node cell = entry.node;
            if (!child(cell, "f"))
                continue;
            while (pugi::xml_node v = child(cell, "v")) {
                cell.remove_child(v);
                m_dirty = true;
            }
            // The type described the cached result; a string result would
            // otherwise leave an empty string behind.
            const QByteArray type(cell.attribute("t").value());
            if (type == "str" || type == "b" || type == "e" || type == "n" || type == "d")
                cell.remove_attribute("t");
        }
    }
}

QByteArray Sheet::serialize()
{
    // Keep the dimension element truthful when cells were added.
    if (pugi::xml_node dimension = child(m_document.document_element(), "dimension")) {
        const Bounds b = usedBounds();
        QByteArray ref = cellReference(b.firstRow, b.firstColumn);
        if (b.lastRow != b.firstRow || b.lastColumn != b.firstColumn)
            ref += ':' + cellReference(b.lastRow, b.lastColumn);
        pugi::xml_attribute attr = dimension.attribute("ref");
        if (!attr)
            attr = dimension.append_attribute("ref");
        attr.set_value(ref.constData());
    }
    return Xlsx::serialize(m_document);
}

} // namespace Xlsx
