#include "core/workbook/xlsx/styles.h"

#include "core/workbook/automation.h"
#include "core/workbook/xlsx/xml.h"

namespace Xlsx {
namespace {

const char kDefaultStyles[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<fonts count="1"><font><sz val="11"/><name val="Calibri"/><family val="2"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>)"
    R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
    R"(</styleSheet>)";

// Order of a font's children as the spreadsheet programs write them.
const char *const kFontOrder[] = {"b",       "i",  "strike", "condense", "extend", "outline", "shadow", "u",
                                  "vertAlign", "sz", "color",  "name",     "family", "charset", "scheme"};

int orderOf(const pugi::xml_node &node)
{
    for (int i = 0; i < int(std::size(kFontOrder)); ++i) {
        if (hasLocalName(node, kFontOrder[i]))
            return i;
    }
    return int(std::size(kFontOrder));
}

// The font's child of that name, inserted at its place when missing.
pugi::xml_node fontChild(pugi::xml_node font, const char *localName)
{
    if (pugi::xml_node existing = child(font, localName))
        return existing;
    const QByteArray name = prefixOf(font) + localName;
    pugi::xml_node probe;
    int rank = 0;
    for (int i = 0; i < int(std::size(kFontOrder)); ++i) {
        if (std::strcmp(kFontOrder[i], localName) == 0)
            rank = i;
    }
    for (pugi::xml_node node = font.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && orderOf(node) > rank) {
            probe = node;
            break;
        }
    }
    return probe ? font.insert_child_before(name.constData(), probe) : font.append_child(name.constData());
}

void setAttribute(pugi::xml_node node, const char *name, const char *value)
{
    pugi::xml_attribute attr = node.attribute(name);
    if (!attr)
        attr = node.append_attribute(name);
    attr.set_value(value);
}

bool isTrue(const pugi::xml_attribute &attr, bool absent)
{
    if (!attr)
        return absent;
    const QByteArray value(attr.value());
    return value != "0" && value != "false";
}

} // namespace

Styles::Styles()
{
    parsePart(m_document, QByteArray(kDefaultStyles), QStringLiteral("styles"));
    bind(QStringLiteral("styles"));
}

void Styles::load(const QByteArray &xml, const QString &partName)
{
    m_document.reset();
    parsePart(m_document, xml, partName);
    bind(partName);
}

void Styles::bind(const QString &partName)
{
    const pugi::xml_node root = m_document.document_element();
    m_fonts = Table{child(root, "fonts"), {}, {}, false};
    m_fills = Table{child(root, "fills"), {}, {}, false};
    m_xfs = Table{child(root, "cellXfs"), {}, {}, false};
    m_memo.clear();
    for (Table *table : {&m_fonts, &m_fills, &m_xfs}) {
        if (!table->parent)
            throw Automation::Error(QStringLiteral("模板中的 %1 缺少字体、填充或单元格格式表").arg(partName));
        for (pugi::xml_node node = table->parent.first_child(); node; node = node.next_sibling()) {
            if (node.type() == pugi::node_element)
                table->items.append(node);
        }
    }
    if (m_fonts.items.isEmpty() || m_xfs.items.isEmpty())
        throw Automation::Error(QStringLiteral("模板中的 %1 没有任何字体或单元格格式").arg(partName));
}

pugi::xml_node Styles::xfNode(int xf) const
{
    return m_xfs.items.value(xf, m_xfs.items.first());
}

pugi::xml_node Styles::fontOf(int xf) const
{
    const int font = xfNode(xf).attribute("fontId").as_int(0);
    return m_fonts.items.value(font, m_fonts.items.first());
}

QString Styles::alignment(int xf, const char *attribute) const
{
    return text(child(xfNode(xf), "alignment").attribute(attribute).value());
}

double Styles::fontSize(int xf) const
{
    const pugi::xml_node size = child(fontOf(xf), "sz");
    return size ? size.attribute("val").as_double(11) : 11;
}

bool Styles::bold(int xf) const
{
    const pugi::xml_node b = child(fontOf(xf), "b");
    return b && isTrue(b.attribute("val"), true);
}

std::optional<quint32> Styles::solidFill(int xf) const
{
    const int fill = xfNode(xf).attribute("fillId").as_int(0);
    const pugi::xml_node pattern = child(m_fills.items.value(fill), "patternFill");
    if (QByteArray(pattern.attribute("patternType").value()) != "solid")
        return std::nullopt;
    const pugi::xml_attribute rgb = child(pattern, "fgColor").attribute("rgb");
    if (!rgb)
        return std::nullopt;
    bool ok = false;
    const quint32 argb = QByteArray(rgb.value()).toUInt(&ok, 16);
    return ok ? std::optional<quint32>(argb) : std::nullopt;
}

int Styles::intern(Table &table, const pugi::xml_node &candidate)
{
    if (!table.indexed) {
        for (int i = 0; i < table.items.size(); ++i)
            table.index.insert(Xlsx::serialize(table.items.at(i)), i);
        table.indexed = true;
    }
    const QByteArray key = Xlsx::serialize(candidate);
    const auto found = table.index.constFind(key);
    if (found != table.index.constEnd())
        return found.value();
    const int index = int(table.items.size());
    table.items.append(table.parent.append_copy(candidate));
    table.index.insert(key, index);
    setAttribute(table.parent, "count", QByteArray::number(index + 1).constData());
    m_dirty = true;
    return index;
}

int Styles::derive(Table &table, int item, const QByteArray &memoKey, const Change &change)
{
    const QByteArray key = QByteArray::number(quintptr(&table)) + '/' + QByteArray::number(item) + '/' + memoKey;
    const auto memo = m_memo.constFind(key);
    if (memo != m_memo.constEnd())
        return memo.value();
    pugi::xml_document scratch;
    pugi::xml_node copy = scratch.append_copy(table.items.value(item, table.items.first()));
    change(copy);
    const int result = intern(table, copy);
    m_memo.insert(key, result);
    return result;
}

int Styles::deriveFont(int xf, const QByteArray &memoKey, const Change &change)
{
    return derive(m_xfs, xf, memoKey, [&](pugi::xml_node copy) {
        const int font = derive(m_fonts, copy.attribute("fontId").as_int(0), memoKey, change);
        setAttribute(copy, "fontId", QByteArray::number(font).constData());
        setAttribute(copy, "applyFont", "1");
    });
}

int Styles::withAlignment(int xf, const char *attribute, const QByteArray &value)
{
    return derive(m_xfs, xf, QByteArray("align/") + attribute + '=' + value, [&](pugi::xml_node copy) {
        pugi::xml_node align = child(copy, "alignment");
        if (!align) {
            const QByteArray name = prefixOf(copy) + "alignment";
            align = copy.first_child() ? copy.insert_child_before(name.constData(), copy.first_child())
                                       : copy.append_child(name.constData());
        }
        setAttribute(align, attribute, value.constData());
        setAttribute(copy, "applyAlignment", "1");
    });
}

int Styles::withFontSize(int xf, double size)
{
    const QByteArray value = QByteArray::number(size, 'g', 15);
    return deriveFont(xf, "sz=" + value, [&](pugi::xml_node font) {
        setAttribute(fontChild(font, "sz"), "val", value.constData());
    });
}

int Styles::withBold(int xf, bool bold)
{
    return deriveFont(xf, bold ? "b=1" : "b=0", [&](pugi::xml_node font) {
        if (bold) {
            pugi::xml_node b = fontChild(font, "b");
            b.remove_attribute("val");
        } else if (pugi::xml_node b = child(font, "b")) {
            font.remove_child(b);
        }
    });
}

int Styles::withSolidFill(int xf, quint32 argb)
{
    const QByteArray rgb = QByteArray::number(argb, 16).toUpper().rightJustified(8, '0');
    return derive(m_xfs, xf, "fill=" + rgb, [&](pugi::xml_node copy) {
        pugi::xml_document scratch;
        const QByteArray prefix = prefixOf(m_fills.parent);
        pugi::xml_node fill = scratch.append_child((prefix + "fill").constData());
        pugi::xml_node pattern = fill.append_child((prefix + "patternFill").constData());
        pattern.append_attribute("patternType") = "solid";
        pattern.append_child((prefix + "fgColor").constData()).append_attribute("rgb") = rgb.constData();
        pattern.append_child((prefix + "bgColor").constData()).append_attribute("indexed") = "64";
        const int index = intern(m_fills, fill);
        setAttribute(copy, "fillId", QByteArray::number(index).constData());
        setAttribute(copy, "applyFill", "1");
    });
}

QByteArray Styles::serialize() const
{
    return Xlsx::serialize(m_document);
}

} // namespace Xlsx
