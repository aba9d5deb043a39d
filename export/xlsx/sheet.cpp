#include "export/xlsx/sheet.h"

#include "export/automation.h"
#include "export/xlsx/xml.h"

#include <cstring>

namespace Xlsx {

bool parseCellReference(const QByteArray &reference, int &row, int &column)
{
    qsizetype i = 0;
    qint64 col = 0;
    while (i < reference.size() && reference.at(i) >= 'A' && reference.at(i) <= 'Z' && i < 3)
        col = col * 26 + (reference.at(i++) - 'A' + 1);
    if (i == 0 || i == reference.size())
        return false;
    qint64 r = 0;
    for (qsizetype j = i; j < reference.size(); ++j) {
        const char ch = reference.at(j);
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

        Row &row = m_rows[rowNumber];
        row.node = rowNode;
        int previousColumn = 0;
        for (pugi::xml_node cellNode = rowNode.first_child(); cellNode; cellNode = cellNode.next_sibling()) {
            if (cellNode.type() != pugi::node_element || !hasLocalName(cellNode, "c"))
                continue;
            int cellRow = rowNumber;
            int column = previousColumn + 1;
            if (pugi::xml_attribute r = cellNode.attribute("r")) {
                if (!parseCellReference(QByteArray(r.value()), cellRow, column))
                    throw bad(QStringLiteral("单元格引用 %1").arg(text(r.value())));
            } else {
                cellNode.append_attribute("r") = cellReference(rowNumber, column).constData();
            }
            if (cellRow != rowNumber || column <= previousColumn || column > kMaxColumns)
                throw bad(QStringLiteral("单元格顺序"));
            previousColumn = column;
            row.cells.insert(column, cellNode);
        }
    }
}

Sheet::Bounds Sheet::usedBounds() const
{
    Bounds bounds;
    bool any = false;
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it) {
        if (it->cells.isEmpty())
            continue;
        const int first = it->cells.firstKey();
        const int last = it->cells.lastKey();
        if (!any) {
            bounds = {it.key(), first, it.key(), last};
            any = true;
            continue;
        }
        bounds.lastRow = it.key();
        bounds.firstColumn = qMin(bounds.firstColumn, first);
        bounds.lastColumn = qMax(bounds.lastColumn, last);
    }
    return bounds;
}

pugi::xml_node Sheet::cell(int row, int column) const
{
    const auto found = m_rows.constFind(row);
    return found == m_rows.constEnd() ? pugi::xml_node() : found->cells.value(column);
}

pugi::xml_node Sheet::ensureCell(int row, int column)
{
    if (pugi::xml_node existing = cell(row, column))
        return existing;
    const QByteArray prefix = prefixOf(m_sheetData);
    auto rowIt = m_rows.find(row);
    if (rowIt == m_rows.end()) {
        const auto next = m_rows.upperBound(row);
        const QByteArray name = prefix + "row";
        pugi::xml_node node = next == m_rows.end() ? m_sheetData.append_child(name.constData())
                                                   : m_sheetData.insert_child_before(name.constData(), next->node);
        node.append_attribute("r") = row;
        rowIt = m_rows.insert(row, Row{node, {}});
    }
    Row &target = rowIt.value();
    const auto next = target.cells.upperBound(column);
    const QByteArray name = prefix + "c";
    pugi::xml_node node = next == target.cells.end() ? target.node.append_child(name.constData())
                                                     : target.node.insert_child_before(name.constData(), next.value());
    node.append_attribute("r") = cellReference(row, column).constData();
    target.cells.insert(column, node);
    m_dirty = true;
    return node;
}

void Sheet::dropFormulaResults()
{
    if (!m_formulas)
        return;
    for (const Row &row : std::as_const(m_rows)) {
        for (pugi::xml_node cell : row.cells) {
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
