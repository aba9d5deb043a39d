#include "core/workbook/xlsx/workbook.h"

#include "core/workbook/automation.h"
#include "core/workbook/xlsx/opc.h"
#include "core/workbook/xlsx/xml.h"

#include <QDir>
#include <QFileInfo>

#include <charconv>
#include <string_view>

namespace Xlsx {
namespace {

using Automation::Error;

const QString kContentTypesPart = QStringLiteral("[Content_Types].xml");
const QString kDocumentType =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QString kSpreadsheetContentType = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.");

std::string_view trimmedOf(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

QString fileNameOf(const QString &part)
{
    return part.mid(part.lastIndexOf(u'/') + 1);
}

} // namespace

Workbook::Workbook(const QString &path)
    : m_path(path)
    , m_package(path)
{
    if (!m_package.contains(kContentTypesPart))
        throw Error(QStringLiteral("模板文件 %1 不是有效的 xlsx 工作簿（缺少 %2）")
                        .arg(QDir::toNativeSeparators(path), kContentTypesPart));
    {
        pugi::xml_document contentTypes;
        parsePart(contentTypes, m_package.read(kContentTypesPart), kContentTypesPart);
    }

    m_workbookPart = findRelationship(readRelationships(m_package, QString()), QStringLiteral("officeDocument")).target;
    if (m_workbookPart.isEmpty() || !m_package.contains(m_workbookPart))
        throw Error(QStringLiteral("模板文件 %1 不是有效的 xlsx 工作簿（缺少工作簿部件）")
                        .arg(QDir::toNativeSeparators(path)));

    const QList<Relationship> relationships = readRelationships(m_package, m_workbookPart);
    pugi::xml_document workbook;
    parsePart(workbook, m_package.read(m_workbookPart), m_workbookPart);
    const pugi::xml_node sheets = child(workbook.document_element(), "sheets");
    for (pugi::xml_node node = sheets.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element || !hasLocalName(node, "sheet"))
            continue;
        const QString id = text(attribute(node, "id").value());
        SheetEntry entry;
        entry.name = text(node.attribute("name").value());
        for (const Relationship &relationship : relationships) {
            if (relationship.id == id && !relationship.external) {
                entry.part = relationship.target;
                entry.worksheet = relationship.type.endsWith(QStringLiteral("/worksheet"));
            }
        }
        if (entry.part.isEmpty() || !m_package.contains(entry.part))
            throw Error(QStringLiteral("模板文件 %1 已损坏（找不到工作表“%2”）")
                            .arg(QDir::toNativeSeparators(path), entry.name));
        m_sheets.push_back(std::move(entry));
    }

    m_stringsPart = findRelationship(relationships, QStringLiteral("sharedStrings")).target;
    if (!m_stringsPart.isEmpty() && m_package.contains(m_stringsPart))
        m_strings.load(m_package.read(m_stringsPart), m_stringsPart);
    else
        m_stringsPart.clear();

    m_stylesPart = findRelationship(relationships, QStringLiteral("styles")).target;
    if (!m_stylesPart.isEmpty() && m_package.contains(m_stylesPart))
        m_styles.load(m_package.read(m_stylesPart), m_stylesPart);
    else
        m_stylesPart.clear();

    const Relationship calcChain = findRelationship(relationships, QStringLiteral("calcChain"));
    m_calcChainPart = calcChain.target;
    m_calcChainId = calcChain.id;
}

Sheet &Workbook::sheet(int index)
{
    SheetEntry &entry = m_sheets.at(size_t(index));
    if (!entry.worksheet)
        throw Error(QStringLiteral("工作表“%1”不是普通工作表").arg(entry.name));
    if (!entry.sheet)
        entry.sheet = std::make_unique<Sheet>(m_package.read(entry.part), entry.part);
    return *entry.sheet;
}

QVariant Workbook::value(const Sheet &sheet, int row, int column) const
{
    const pugi::xml_node cell = sheet.cell(row, column);
    if (!cell)
        return {};
    const std::string_view type = cell.attribute("t").value();
    if (type == "inlineStr") {
        const pugi::xml_node item = child(cell, "is");
        return item ? QVariant(stringItemText(item)) : QVariant();
    }
    const pugi::xml_node v = child(cell, "v");
    if (!v)
        return {};
    const std::string_view raw = v.child_value();
    const std::string_view trimmed = trimmedOf(raw);
    if (type == "s") {
        int index = -1;
        const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), index);
        if (error != std::errc() || end != trimmed.data() + trimmed.size() || index < 0 || index >= m_strings.size())
            throw Error(QStringLiteral("单元格 %1 引用了不存在的共享字符串").arg(text(cell.attribute("r").value())));
        return m_strings.text(index);
    }
    if (type == "b")
        return QVariant(trimmed != "0" && trimmed != "false");
    if (type == "str" || type == "e" || type == "d")
        return QString::fromUtf8(raw.data(), qsizetype(raw.size()));
    double number = 0;
    const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), number);
    if (error == std::errc() && end == trimmed.data() + trimmed.size() && !trimmed.empty())
        return number;
    bool ok = false; // the forms from_chars leaves out, such as a leading plus
    number = QByteArray(trimmed.data(), qsizetype(trimmed.size())).toDouble(&ok);
    return ok ? QVariant(number) : QVariant(QString::fromUtf8(raw.data(), qsizetype(raw.size())));
}

void Workbook::setText(Sheet &sheet, int row, int column, const QString &value)
{
    pugi::xml_node cell = sheet.ensureCell(row, column);
    const bool shared = std::string_view(cell.attribute("t").value()) == "s";
    for (pugi::xml_node node = cell.first_child(); node;) {
        const pugi::xml_node next = node.next_sibling();
        if (node.type() == pugi::node_element) {
            if (hasLocalName(node, "f")) {
                m_formulaRemoved = true;
                cell.remove_child(node);
            } else if (hasLocalName(node, "v")) {
                if (shared)
                    m_strings.adjustReferences(-1);
                cell.remove_child(node);
            } else if (hasLocalName(node, "is")) {
                cell.remove_child(node);
            }
        }
        node = next;
    }
    cell.remove_attribute("t");
    sheet.markDirty();
    if (value.isEmpty())
        return;

    const int index = m_strings.add(value);
    m_strings.adjustReferences(1);
    cell.append_attribute("t") = "s";
    const char *name = sheet.valueElementName();
    const pugi::xml_node extension = child(cell, "extLst");
    pugi::xml_node v = extension ? cell.insert_child_before(name, extension) : cell.append_child(name);
    v.text().set(index);
}

int Workbook::styleOf(const Sheet &sheet, int row, int column) const
{
    return sheet.cell(row, column).attribute("s").as_int(0);
}

void Workbook::setStyle(Sheet &sheet, int row, int column, int xf)
{
    pugi::xml_node cell = sheet.ensureCell(row, column);
    if (cell.attribute("s").as_int(0) == xf)
        return;
    if (xf == 0) {
        cell.remove_attribute("s");
    } else {
        pugi::xml_attribute s = cell.attribute("s");
        if (!s)
            s = cell.insert_attribute_after("s", cell.attribute("r"));
        s.set_value(xf);
    }
    sheet.markDirty();
}

void Workbook::requestFullCalculation()
{
    pugi::xml_document document;
    parsePart(document, m_package.read(m_workbookPart), m_workbookPart);
    pugi::xml_node root = document.document_element();
    pugi::xml_node calcPr = child(root, "calcPr");
    if (!calcPr) {
        // Its place in the workbook's sequence: before all of these.
        static const char *const kLater[] = {"oleSize",       "customWorkbookViews", "pivotCaches",
                                             "smartTagPr",    "smartTagTypes",       "webPublishing",
                                             "fileRecoveryPr", "webPublishObjects",  "extLst"};
        pugi::xml_node before;
        for (pugi::xml_node node = root.first_child(); node && !before; node = node.next_sibling()) {
            for (const char *name : kLater) {
                if (node.type() == pugi::node_element && hasLocalName(node, name))
                    before = node;
            }
        }
        const QByteArray name = prefixOf(root) + "calcPr";
        calcPr = before ? root.insert_child_before(name.constData(), before) : root.append_child(name.constData());
    }
    if (QByteArray(calcPr.attribute("fullCalcOnLoad").value()) == "1")
        return;
    pugi::xml_attribute full = calcPr.attribute("fullCalcOnLoad");
    if (!full)
        full = calcPr.append_attribute("fullCalcOnLoad");
    full.set_value("1");
    m_package.write(m_workbookPart, serialize(document));
}

void Workbook::saveAs(const QString &path)
{
    const QFileInfo target(path);
    if (target.exists() && target.canonicalFilePath() == QFileInfo(m_path).canonicalFilePath())
        throw Error(QStringLiteral("不能覆盖模板文件 %1").arg(QDir::toNativeSeparators(path)));

    bool filled = false;
    bool formulas = false;
    for (SheetEntry &entry : m_sheets) {
        if (entry.sheet && entry.sheet->isDirty()) {
            filled = true;
            formulas = formulas || entry.sheet->holdsFormulas();
            entry.sheet->dropFormulaResults();
            m_package.write(entry.part, entry.sheet->serialize());
        }
    }
    for (const SheetEntry &entry : m_sheets) {
        if (!filled || formulas)
            break;
        if (entry.worksheet)
            formulas = entry.sheet ? entry.sheet->holdsFormulas() : mayHoldFormulas(m_package.read(entry.part));
    }
    if (formulas)
        requestFullCalculation();
    const QString directory = m_workbookPart.left(m_workbookPart.lastIndexOf(u'/') + 1);
    if (m_strings.isDirty()) {
        if (m_stringsPart.isEmpty()) {
            m_stringsPart = directory + QStringLiteral("sharedStrings.xml");
            addRelationship(m_package, m_workbookPart, kDocumentType + QStringLiteral("sharedStrings"),
                            fileNameOf(m_stringsPart));
            addContentTypeOverride(m_package, m_stringsPart, kSpreadsheetContentType + QStringLiteral("sharedStrings+xml"));
        }
        m_package.write(m_stringsPart, m_strings.serialize());
    }
    if (m_styles.isDirty()) {
        if (m_stylesPart.isEmpty()) {
            m_stylesPart = directory + QStringLiteral("styles.xml");
            addRelationship(m_package, m_workbookPart, kDocumentType + QStringLiteral("styles"), fileNameOf(m_stylesPart));
            addContentTypeOverride(m_package, m_stylesPart, kSpreadsheetContentType + QStringLiteral("styles+xml"));
        }
        m_package.write(m_stylesPart, m_styles.serialize());
    }
    // The calculation chain lists formula cells; one that lost its formula
    // would make it stale, and the programs rebuild a missing chain.
    if (m_formulaRemoved && !m_calcChainPart.isEmpty()) {
        m_package.remove(m_calcChainPart);
        removeRelationship(m_package, m_workbookPart, m_calcChainId);
        removeContentTypeOverride(m_package, m_calcChainPart);
        m_calcChainPart.clear();
    }
    m_package.saveAs(path);
}

} // namespace Xlsx
