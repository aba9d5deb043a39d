#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace Xlsx {

class Package;

// Package plumbing: relationships between parts and the content-type list.
struct Relationship
{
    QString id;
    QString type;
    QString target; // resolved part name, without leading slash
    bool external = false;
};

// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"; "" -> "_rels/.rels".
QString relationshipsPartOf(const QString &partName);
// A relationship target taken relative to the part that holds it.
QString resolveTarget(const QString &sourcePart, const QString &target);
// The relationships of a part; none when it has no relationships part.
QList<Relationship> readRelationships(const Package &package, const QString &sourcePart);
// The first relationship whose type ends with "/" + kind.
Relationship findRelationship(const QList<Relationship> &relationships, const QString &kind);

// Adds a relationship of the given full type to a part, target given
// relative to that part; returns its new id.
QString addRelationship(Package &package, const QString &sourcePart, const QString &type, const QString &target);
void removeRelationship(Package &package, const QString &sourcePart, const QString &id);

void addContentTypeOverride(Package &package, const QString &partName, const QString &contentType);
void removeContentTypeOverride(Package &package, const QString &partName);

} // namespace Xlsx
