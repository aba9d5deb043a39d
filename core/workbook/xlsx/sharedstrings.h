#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <pugixml.hpp>

namespace Xlsx {

// The shared-string table. Entries are only ever added: an entry a cell no
// longer uses stays, as the spreadsheet programs leave it too.
class SharedStrings
{
public:
    SharedStrings();
    void load(const QByteArray &xml, const QString &partName);

    int size() const { return int(m_texts.size()); }
    QString text(int index) const { return m_texts.value(index); }
    // Index of an entry holding exactly this plain text, added when missing.
    int add(const QString &text);
    // Keeps the total reference count in step with the cells.
    void adjustReferences(int delta);

    bool isDirty() const { return m_dirty; }
    QByteArray serialize();

private:
    pugi::xml_document m_document;
    pugi::xml_node m_root;
    QByteArray m_prefix;
    QList<QString> m_texts;
    QHash<QString, int> m_plainIndex;
    bool m_counted = false;      // the part keeps a total reference count
    qint64 m_referenceDelta = 0; // not yet in it
    bool m_dirty = false;
};

} // namespace Xlsx
