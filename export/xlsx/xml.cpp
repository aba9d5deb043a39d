#include "export/xlsx/xml.h"

#include "export/automation.h"

#include <cstring>

namespace Xlsx {
namespace {

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
    return result;
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
