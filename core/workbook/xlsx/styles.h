#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <pugixml.hpp>

#include <functional>
#include <optional>

namespace Xlsx {

// The style sheet's cell formats (xf), fonts and fills. A change to a cell's
// format yields the index of a format equal to the cell's own except for that
// change (font name, colour, borders and number format kept); equal formats,
// fonts and fills are shared rather than added twice.
class Styles
{
public:
    Styles(); // the minimal sheet a workbook without one implies
    void load(const QByteArray &xml, const QString &partName);

    // Reading; an index out of range reads as the default format 0.
    QString alignment(int xf, const char *attribute) const;
    double fontSize(int xf) const;
    bool bold(int xf) const;
    // ARGB of a solid fill, nothing when the cell has none.
    std::optional<quint32> solidFill(int xf) const;

    int withAlignment(int xf, const char *attribute, const QByteArray &value);
    int withFontSize(int xf, double size);
    int withBold(int xf, bool bold);
    int withSolidFill(int xf, quint32 argb);

    bool isDirty() const { return m_dirty; }
    QByteArray serialize() const;

private:
    struct Table
    {
        pugi::xml_node parent;
        QList<pugi::xml_node> items;
        QHash<QByteArray, int> index; // serialised item -> first index
        bool indexed = false;
    };
    using Change = std::function<void(pugi::xml_node)>;

    void bind(const QString &partName);
    pugi::xml_node xfNode(int xf) const;
    pugi::xml_node fontOf(int xf) const;
    int intern(Table &table, const pugi::xml_node &candidate);
    int derive(Table &table, int item, const QByteArray &memoKey, const Change &change);
    int deriveFont(int xf, const QByteArray &memoKey, const Change &change);

    pugi::xml_document m_document;
    Table m_fonts;
    Table m_fills;
    Table m_xfs;
    QHash<QByteArray, int> m_memo;
    bool m_dirty = false;
};

} // namespace Xlsx
