#include "core/workbook/xlsx/opc.h"

#include "core/workbook/xlsx/package.h"
#include "core/workbook/xlsx/xml.h"

#include <QSet>

namespace Xlsx {
namespace {

const QString kContentTypesPart = QStringLiteral("[Content_Types].xml");
constexpr char kRelationshipsNamespace[] = "http://schemas.openxmlformats.org/package/2006/relationships";

void loadRelationships(const Package &package, const QString &relsPart, pugi::xml_document &document)
{
    if (package.contains(relsPart)) {
        parsePart(document, package.read(relsPart), relsPart);
        return;
    }
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    document.append_child("Relationships").append_attribute("xmlns") = kRelationshipsNamespace;
}

QString directoryOf(const QString &partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    return slash < 0 ? QString() : partName.left(slash + 1);
}

} // namespace

QString relationshipsPartOf(const QString &partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    return directoryOf(partName) + QStringLiteral("_rels/") + partName.mid(slash + 1) + QStringLiteral(".rels");
}

QString resolveTarget(const QString &sourcePart, const QString &target)
{
    const QString joined = target.startsWith(u'/') ? target.mid(1) : directoryOf(sourcePart) + target;
    QStringList result;
    for (const QString &segment : joined.split(u'/')) {
        if (segment == QStringLiteral("..")) {
            if (!result.isEmpty())
                result.removeLast();
        } else if (!segment.isEmpty() && segment != QStringLiteral(".")) {
            result.append(segment);
        }
    }
    return result.join(u'/');
}

QList<Relationship> readRelationships(const Package &package, const QString &sourcePart)
{
    const QString relsPart = relationshipsPartOf(sourcePart);
    QList<Relationship> relationships;
    if (!package.contains(relsPart))
        return relationships;
    pugi::xml_document document;
    parsePart(document, package.read(relsPart), relsPart);
    for (pugi::xml_node node = document.document_element().first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element || !hasLocalName(node, "Relationship"))
            continue;
        Relationship relationship;
        relationship.id = text(node.attribute("Id").value());
        relationship.type = text(node.attribute("Type").value());
        relationship.external = QByteArray(node.attribute("TargetMode").value()) == "External";
        const QString target = text(node.attribute("Target").value());
        relationship.target = relationship.external ? target : resolveTarget(sourcePart, target);
        relationships.append(relationship);
    }
    return relationships;
}

Relationship findRelationship(const QList<Relationship> &relationships, const QString &kind)
{
    for (const Relationship &relationship : relationships) {
        if (!relationship.external && relationship.type.endsWith(u'/' + kind))
            return relationship;
    }
    return {};
}

QString addRelationship(Package &package, const QString &sourcePart, const QString &type, const QString &target)
{
    const QString relsPart = relationshipsPartOf(sourcePart);
    pugi::xml_document document;
    loadRelationships(package, relsPart, document);
    pugi::xml_node root = document.document_element();
    QSet<QString> used;
    for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling())
        used.insert(text(node.attribute("Id").value()));
    int number = int(used.size()) + 1;
    while (used.contains(QStringLiteral("rId%1").arg(number)))
        ++number;
    const QString id = QStringLiteral("rId%1").arg(number);
    pugi::xml_node node = root.append_child((prefixOf(root) + "Relationship").constData());
    node.append_attribute("Id") = id.toUtf8().constData();
    node.append_attribute("Type") = type.toUtf8().constData();
    node.append_attribute("Target") = target.toUtf8().constData();
    package.write(relsPart, serialize(document));
    return id;
}

void removeRelationship(Package &package, const QString &sourcePart, const QString &id)
{
    const QString relsPart = relationshipsPartOf(sourcePart);
    if (!package.contains(relsPart))
        return;
    pugi::xml_document document;
    parsePart(document, package.read(relsPart), relsPart);
    pugi::xml_node root = document.document_element();
    for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling()) {
        if (text(node.attribute("Id").value()) == id) {
            root.remove_child(node);
            package.write(relsPart, serialize(document));
            return;
        }
    }
}

void addContentTypeOverride(Package &package, const QString &partName, const QString &contentType)
{
    pugi::xml_document document;
    parsePart(document, package.read(kContentTypesPart), kContentTypesPart);
    pugi::xml_node root = document.document_element();
    const QByteArray name = '/' + partName.toUtf8();
    for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling()) {
        if (QByteArray(node.attribute("PartName").value()) == name)
            return;
    }
    pugi::xml_node node = root.append_child((prefixOf(root) + "Override").constData());
    node.append_attribute("PartName") = name.constData();
    node.append_attribute("ContentType") = contentType.toUtf8().constData();
    package.write(kContentTypesPart, serialize(document));
}

void removeContentTypeOverride(Package &package, const QString &partName)
{
    pugi::xml_document document;
    parsePart(document, package.read(kContentTypesPart), kContentTypesPart);
    pugi::xml_node root = document.document_element();
    const QByteArray name = '/' + partName.toUtf8();
    for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling()) {
        if (QByteArray(node.attribute("PartName").value()) == name) {
            root.remove_child(node);
            package.write(kContentTypesPart, serialize(document));
            return;
        }
    }
}

} // namespace Xlsx
