#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <cstring>

// pugixml helpers shared by the parts of the workbook engine.
namespace Xlsx {

// Parses a part, keeping its declaration and whitespace-only text (a cell
// holding just blanks); raises Automation::Error naming the part otherwise.
void parsePart(pugi::xml_document &document, const QByteArray &xml, const QString &partName);
QByteArray serialize(const pugi::xml_node &node, bool withDeclaration = true);

inline QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Name without its namespace prefix.
inline bool hasLocalName(const pugi::xml_node &node, const char *name)
{
    const char *full = node.name();
    const char *colon = std::strrchr(full, ':');
    return std::strcmp(colon ? colon + 1 : full, name) == 0;
}

// First child with the local name, whatever prefix the producer chose.
pugi::xml_node child(const pugi::xml_node &parent, const char *localName);
// The value of the first attribute with the local name.
pugi::xml_attribute attribute(const pugi::xml_node &node, const char *localName);
// The plain text of a string item (<si> or <is>): <t> and rich-text runs,
// without phonetic runs, with _xHHHH_ escapes decoded.
QString stringItemText(const pugi::xml_node &item);

// Text for a string item's <t>. XML 1.0 cannot hold most control
// characters, nor U+FFFE, U+FFFF or a lone surrogate; spreadsheet files
// write them as _xHHHH_, and a literal "_x" before four hex digits with its
// underscore written as _x005F_. Everything else stays as it is.
QString encodeStringItem(const QString &text);
QString decodeStringItem(const QString &text);

} // namespace Xlsx

namespace Xlsx {
// The namespace prefix of an element ("x:" or empty), for new siblings and
// children written the way the producer wrote the part.
QByteArray prefixOf(const pugi::xml_node &node);
}
