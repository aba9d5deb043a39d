#include "core/workbook/xlsx/xml.h"

#include "core/workbook/automation.h"

#include <cstring>

namespace Xlsx {
namespace {

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// "_x" and four hex digits starting at index.
bool startsHexEscape(const QString &text, qsizetype index)
{
    if (index + 6 > text.size() || text.at(index) != u'_' || text.at(index + 1) != u'x')
        return false;
    for (qsizetype i = index + 2; i < index + 6; ++i) {
        if (!isHexDigit(text.at(i)))
            return false;
    }
    return true;
}

bool isUnwritable(const QString &text, qsizetype index)
{
    const char16_t c = text.at(index).unicode();
    if (c < 0x20)
        return c != u'\t' && c != u'\n' && c != u'\r';
    if (c == 0xFFFE || c == 0xFFFF)
        return true;
    if (QChar::isHighSurrogate(c))
        return index + 1 >= text.size() || !QChar::isLowSurrogate(text.at(index + 1).unicode());
    if (QChar::isLowSurrogate(c))
        return index == 0 || !QChar::isHighSurrogate(text.at(index - 1).unicode());
    return false;
}

void appendEscape(QString &out, char16_t code)
{
    static const char digits[] = "0123456789ABCDEF";
    out += QLatin1String("_x");
    for (int shift = 12; shift >= 0; shift -= 4)
        out += QLatin1Char(digits[(code >> shift) & 0xF]);
    out += u'_';
}

struct ByteWriter final : pugi::xml_writer
{
    QByteArray bytes;
    void write(const void *data, size_t size) override
    {
        bytes.append(static_cast<const char *>(data), qsizetype(size));
    }
};

} // namespace

void parsePart(pugi::xml_document &document, const QByteArray &xml, const QString &partName)
{
    const unsigned options = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
    const pugi::xml_parse_result result = document.load_buffer(xml.constData(), size_t(xml.size()), options,
                                                               pugi::encoding_auto);
    if (!result || !document.document_element())
        throw Automation::Error(QStringLiteral("模板中的 %1 不是有效的 XML（%2）")
                                    .arg(partName, QString::fromUtf8(result.description())));
}

QByteArray serialize(const pugi::xml_node &node, bool withDeclaration)
{
    ByteWriter writer;
    unsigned flags = pugi::format_raw;
    if (!withDeclaration || node.type() != pugi::node_document)
        flags |= pugi::format_no_declaration;
    node.print(writer, "", flags, pugi::encoding_utf8);
    return writer.bytes;
}

pugi::xml_node child(const pugi::xml_node &parent, const char *localName)
{
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && hasLocalName(node, localName))
            return node;
    }
    return {};
}

pugi::xml_attribute attribute(const pugi::xml_node &node, const char *localName)
{
    for (pugi::xml_attribute attr = node.first_attribute(); attr; attr = attr.next_attribute()) {
        const char *full = attr.name();
        const char *colon = std::strrchr(full, ':');
        if (std::strcmp(colon ? colon + 1 : full, localName) == 0)
            return attr;
    }
    return {};
}

QString encodeStringItem(const QString &text)
{
    QString result;
    qsizetype copied = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool unwritable = isUnwritable(text, i);
        if (!unwritable && !startsHexEscape(text, i))
            continue;
        if (result.isNull())
            result.reserve(text.size() + 16);
        result += QStringView(text).mid(copied, i - copied);
        appendEscape(result, unwritable ? text.at(i).unicode() : u'_');
        copied = i + 1;
    }
    if (result.isNull())
        return text;
    result += QStringView(text).mid(copied);
    return result;
}

QString decodeStringItem(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (startsHexEscape(text, i) && i + 6 < text.size() && text.at(i + 6) == u'_') {
            result += QChar(char16_t(QStringView(text).mid(i + 2, 4).toUShort(nullptr, 16)));
            i += 6;
        } else {
            result += text.at(i);
        }
    }
    return result;
}

QString stringItemText(const pugi::xml_node &item)
{
    QString result;
    for (pugi::xml_node node = item.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element)
            continue;
        if (hasLocalName(node, "t")) {
            result += text(node.child_value());
        } else if (hasLocalName(node, "r")) {
            if (const pugi::xml_node run = child(node, "t"))
                result += text(run.child_value());
        }
    }
    return decodeStringItem(result);
}

} // namespace Xlsx

namespace Xlsx {
QByteArray prefixOf(const pugi::xml_node &node)
{
    const char *full = node.name();
    const char *colon = std::strrchr(full, ':');
    return colon ? QByteArray(full, qsizetype(colon - full + 1)) : QByteArray();
}
} // namespace Xlsx
