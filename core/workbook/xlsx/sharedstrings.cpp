#include "core/workbook/xlsx/sharedstrings.h"

#include "core/workbook/xlsx/xml.h"

namespace Xlsx {

namespace {
constexpr char kMainNamespace[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
}

SharedStrings::SharedStrings()
{
    m_document.append_child(pugi::node_declaration).append_attribute("version") = "1.0";
    m_document.first_child().append_attribute("encoding") = "UTF-8";
    m_document.first_child().append_attribute("standalone") = "yes";
    m_root = m_document.append_child("sst");
    m_root.append_attribute("xmlns") = kMainNamespace;
    m_root.append_attribute("count") = 0;
    m_root.append_attribute("uniqueCount") = 0;
    m_counted = true;
}

void SharedStrings::load(const QByteArray &xml, const QString &partName)
{
    m_document.reset();
    parsePart(m_document, xml, partName);
    m_root = m_document.document_element();
    m_prefix = prefixOf(m_root);
    m_texts.clear();
    m_plainIndex.clear();
    m_referenceDelta = 0;
    m_counted = bool(m_root.attribute("count"));
    for (pugi::xml_node item = m_root.first_child(); item; item = item.next_sibling()) {
        if (item.type() != pugi::node_element || !hasLocalName(item, "si"))
            continue;
        const QString value = stringItemText(item);
        const pugi::xml_node first = item.first_child();
        if (first && !first.next_sibling() && hasLocalName(first, "t") && !m_plainIndex.contains(value))
            m_plainIndex.insert(value, int(m_texts.size()));
        m_texts.append(value);
    }
}

int SharedStrings::add(const QString &value)
{
    const auto found = m_plainIndex.constFind(value);
    if (found != m_plainIndex.constEnd())
        return found.value();

    pugi::xml_node item = m_root.append_child((m_prefix + "si").constData());
    pugi::xml_node t = item.append_child((m_prefix + "t").constData());
    const QByteArray utf8 = encodeStringItem(value).toUtf8();
    if (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()))
        t.append_attribute("xml:space") = "preserve";
    t.text().set(utf8.constData());

    const int index = int(m_texts.size());
    m_texts.append(value);
    m_plainIndex.insert(value, index);
    if (pugi::xml_attribute unique = m_root.attribute("uniqueCount"))
        unique = index + 1;
    m_dirty = true;
    return index;
}

void SharedStrings::adjustReferences(int delta)
{
    if (m_counted) {
        m_referenceDelta += delta;
        m_dirty = true;
    }
}

QByteArray SharedStrings::serialize()
{
    if (pugi::xml_attribute count = m_root.attribute("count")) {
        count = qMax(0LL, count.as_llong() + m_referenceDelta);
        m_referenceDelta = 0;
    }
    return Xlsx::serialize(m_document);
}

} // namespace Xlsx
