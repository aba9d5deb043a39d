#include "core/roster/odsrows.h"

#include "core/roster/worksheetrows.h"
#include "core/workbook/automation.h"
#include "core/workbook/xlsx/package.h"
#include "core/workbook/xlsx/xml.h"

#include <QDir>

#include <pugixml.hpp>

namespace {

using Xlsx::attribute;
using Xlsx::hasLocalName;

// Rows past this are not looked at; a sheet's trailing empty rows are
// written as one row repeated up to the format's limit.
constexpr int kMaxSheetRows = 1048576;

int repeatCount(const pugi::xml_node &node, const char *localName)
{
    return qMax(1, attribute(node, localName).as_int(1));
}

// The text of a paragraph: runs, spans and links, <text:s text:c="n"/> for n
// blanks, tabs and line breaks.
void appendText(const pugi::xml_node &node, QString &text)
{
    for (pugi::xml_node part = node.first_child(); part; part = part.next_sibling()) {
        if (part.type() == pugi::node_pcdata || part.type() == pugi::node_cdata) {
            text += QString::fromUtf8(part.value());
        } else if (part.type() != pugi::node_element) {
            continue;
        } else if (hasLocalName(part, "s")) {
            text += QString(qBound(1, attribute(part, "c").as_int(1), 1000), u' ');
        } else if (hasLocalName(part, "tab")) {
            text += u'\t';
        } else if (hasLocalName(part, "line-break")) {
            text += u'\n';
        } else if (!hasLocalName(part, "annotation")) {
            appendText(part, text);
        }
    }
}

QString cellText(const pugi::xml_node &cell)
{
    const QByteArray type(attribute(cell, "value-type").value());
    if (type == "float" || type == "percentage" || type == "currency")
        return numberCellText(attribute(cell, "value").as_double());
    if (type == "boolean")
        return attribute(cell, "boolean-value").as_bool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    QString text;
    bool first = true;
    for (pugi::xml_node paragraph = cell.first_child(); paragraph; paragraph = paragraph.next_sibling()) {
        if (paragraph.type() != pugi::node_element || !hasLocalName(paragraph, "p"))
            continue;
        if (!first)
            text += u'\n';
        appendText(paragraph, text);
        first = false;
    }
    return text;
}

QStringList rowCells(const pugi::xml_node &row)
{
    QStringList cells;
    int column = 0;
    for (pugi::xml_node cell = row.first_child(); cell && column < kMaxListColumns; cell = cell.next_sibling()) {
        if (cell.type() != pugi::node_element
            || !(hasLocalName(cell, "table-cell") || hasLocalName(cell, "covered-table-cell")))
            continue;
        const int repeat = qMin(repeatCount(cell, "number-columns-repeated"), kMaxListColumns - column);
        const QString text = cellText(cell);
        for (int i = 0; i < repeat; ++i)
            cells.append(text);
        column += repeat;
    }
    while (!cells.isEmpty() && cells.constLast().isEmpty())
        cells.removeLast();
    return cells;
}

// Rows may stand in row groups, header rows and row lists as well as directly in the table.
void readRows(const pugi::xml_node &parent, int &number, TableFile &table)
{
    for (pugi::xml_node node = parent.first_child(); node && number < kMaxSheetRows; node = node.next_sibling()) {
        if (node.type() != pugi::node_element)
            continue;
        if (hasLocalName(node, "table-row-group") || hasLocalName(node, "table-header-rows")
            || hasLocalName(node, "table-rows")) {
            readRows(node, number, table);
            continue;
        }
        if (!hasLocalName(node, "table-row"))
            continue;
        const int repeat = qMin(repeatCount(node, "number-rows-repeated"), kMaxSheetRows - number);
        const QByteArray visibility(attribute(node, "visibility").value());
        TableRow row{0, rowCells(node), visibility == "collapse" || visibility == "filter"};
        if (row.isBlank()) {
            number += repeat;
            continue;
        }
        // A repeated row that holds something is the same row again and again;
        // past the kept rows it only counts.
        for (int i = 0; i < repeat; ++i) {
            row.number = ++number;
            table.append(row);
        }
    }
}

pugi::xml_node spreadsheetOf(const pugi::xml_document &document)
{
    const pugi::xml_node body = Xlsx::child(document.document_element(), "body");
    return Xlsx::child(body, "spreadsheet");
}

} // namespace

void readOdsRows(const QString &path, int sheetIndex, TableFile &table)
{
    const QString name = QDir::toNativeSeparators(path);
    try {
        const Xlsx::Package package(path);
        pugi::xml_document document;
        Xlsx::parsePart(document, package.read(QStringLiteral("content.xml")), QStringLiteral("content.xml"));
        QList<pugi::xml_node> sheets;
        for (pugi::xml_node node = spreadsheetOf(document).first_child(); node; node = node.next_sibling()) {
            if (node.type() == pugi::node_element && hasLocalName(node, "table")) {
                sheets.append(node);
                table.sheetNames.append(QString::fromUtf8(attribute(node, "name").value()));
            }
        }
        if (sheets.isEmpty()) {
            table = TableFile();
            table.error = QStringLiteral("表格文件 %1 中没有工作表。").arg(name);
            return;
        }
        table.sheetIndex = sheetIndex >= 0 && sheetIndex < sheets.size() ? sheetIndex : 0;
        int number = 0;
        readRows(sheets.at(table.sheetIndex), number, table);
    } catch (const Automation::Error &) {
        table = TableFile();
        table.error = QStringLiteral("文件 %1 已损坏或不是有效的 ods 表格，无法读取。").arg(name);
    }
}
