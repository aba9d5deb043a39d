#include "print/pdftounicode.h"

#include <QByteArrayList>
#include <QRegularExpression>
#include <QString>
#include <QStringDecoder>

#include <cctype>
#include <optional>

namespace PdfToUnicode {
namespace {

struct Edit
{
    qsizetype position = 0;
    qsizetype oldLength = 0;
    QByteArray replacement;
};

// A ToUnicode destination: UTF-16BE in hex, one code point expected.
std::optional<char32_t> codePointOf(const QByteArray &hex)
{
    if (hex.isEmpty() || hex.size() % 4 != 0)
        return std::nullopt;
    QStringDecoder utf16(QStringConverter::Utf16BE);
    const QString text = utf16(QByteArray::fromHex(hex));
    const QList<uint> points = text.toUcs4();
    if (utf16.hasError() || points.size() != 1)
        return std::nullopt;
    return char32_t(points.first());
}

QByteArray hexOf(char32_t codePoint)
{
    const QString text = QString::fromUcs4(&codePoint, 1);
    QByteArray hex;
    for (QChar unit : text)
        hex += QByteArray::number(unit.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex;
}

// One "<lo> <hi> <dest>" or "<lo> <hi> [<dest> ...]" line of a bfrange block,
// rewritten as an explicit array when any of its code points changes.
std::optional<QByteArray> remapRangeLine(const QByteArray &line,
                                         const std::function<char32_t(char32_t)> &preferred)
{
    // Glyphs low to high, then one destination (counting up) or one per glyph.
    static const QRegularExpression entry(QStringLiteral("\\A<([0-9A-Fa-f]{1,4})> <([0-9A-Fa-f]{1,4})> "
                                                         "(?:<([0-9A-Fa-f]+)>|\\[((?:\\s*<[0-9A-Fa-f]+>)*)\\s*\\])\\s*\\z"));
    const QRegularExpressionMatch match = entry.match(QString::fromLatin1(line));
    if (!match.hasMatch())
        return std::nullopt;
    const uint low = match.captured(1).toUInt(nullptr, 16);
    const uint high = match.captured(2).toUInt(nullptr, 16);
    if (high < low)
        return std::nullopt;

    QList<char32_t> points;
    if (match.hasCaptured(3)) {
        const std::optional<char32_t> first = codePointOf(match.captured(3).toLatin1());
        if (!first)
            return std::nullopt;
        for (uint glyph = low; glyph <= high; ++glyph)
            points.append(*first + (glyph - low));
    } else {
        static const QRegularExpression item(QStringLiteral("<([0-9A-Fa-f]+)>"));
        for (const QRegularExpressionMatch &m : item.globalMatch(match.captured(4))) {
            const std::optional<char32_t> point = codePointOf(m.captured(1).toLatin1());
            if (!point)
                return std::nullopt;
            points.append(*point);
        }
        if (points.size() != qsizetype(high - low + 1))
            return std::nullopt;
    }

    bool changed = false;
    QByteArray rewritten = "<" + match.captured(1).toLatin1() + "> <" + match.captured(2).toLatin1() + "> [";
    for (char32_t point : points) {
        const char32_t wanted = preferred(point);
        changed = changed || wanted != point;
        rewritten += '<' + hexOf(wanted) + "> ";
    }
    rewritten += ']';
    if (!changed)
        return std::nullopt;
    return rewritten;
}

QByteArray remapCMap(const QByteArray &cmap, const std::function<char32_t(char32_t)> &preferred)
{
    QByteArrayList lines = cmap.split('\n');
    bool inRange = false;
    for (QByteArray &line : lines) {
        if (line.endsWith("beginbfrange")) {
            inRange = true;
        } else if (line == "endbfrange") {
            inRange = false;
        } else if (inRange) {
            if (std::optional<QByteArray> rewritten = remapRangeLine(line, preferred))
                line = *rewritten;
        }
    }
    return lines.join('\n');
}

bool startsWithAt(const QByteArray &data, qint64 position, QByteArrayView prefix)
{
    return position >= 0 && position <= data.size() && QByteArrayView(data).sliced(position).startsWith(prefix);
}

// Parses the decimal number at position; -1 when there is none.
qint64 numberAt(const QByteArray &data, qsizetype position, qsizetype *end = nullptr)
{
    qsizetype stop = position;
    while (stop < data.size() && std::isdigit(uchar(data.at(stop))))
        ++stop;
    if (stop == position)
        return -1;
    if (end)
        *end = stop;
    return data.mid(position, stop - position).toLongLong();
}

// Moves every in-use entry of the cross-reference table and startxref by the
// growth of the edits before it; false when the table is not where it should be.
bool shiftOffsets(QByteArray &pdf, const QList<Edit> &edits)
{
    const auto shifted = [&edits](qint64 offset) {
        qint64 result = offset;
        for (const Edit &edit : edits) {
            if (edit.position < offset)
                result += edit.replacement.size() - edit.oldLength;
        }
        return result;
    };

    const qsizetype startXref = pdf.lastIndexOf("startxref\n");
    if (startXref < 0)
        return false;
    qsizetype numberEnd = 0;
    const qint64 oldXref = numberAt(pdf, startXref + 10, &numberEnd);
    if (oldXref < 0)
        return false;
    const qint64 newXref = shifted(oldXref);
    if (!startsWithAt(pdf, newXref, "xref\n"))
        return false;

    qsizetype cursor = newXref + 5;
    while (!startsWithAt(pdf, cursor, "trailer")) {
        qsizetype afterFirst = 0;
        if (numberAt(pdf, cursor, &afterFirst) < 0 || !startsWithAt(pdf, afterFirst, " "))
            return false;
        qsizetype afterCount = 0;
        const qint64 count = numberAt(pdf, afterFirst + 1, &afterCount);
        if (count < 0 || !startsWithAt(pdf, afterCount, "\n"))
            return false;
        cursor = afterCount + 1;
        for (qint64 i = 0; i < count; ++i, cursor += 20) {
            if (cursor + 20 > pdf.size() || pdf.at(cursor + 10) != ' ' || pdf.at(cursor + 16) != ' ')
                return false;
            if (pdf.at(cursor + 17) != 'n')
                continue;
            const qint64 offset = pdf.mid(cursor, 10).toLongLong();
            pdf.replace(cursor, 10, QByteArray::number(shifted(offset)).rightJustified(10, '0'));
        }
    }
    pdf.replace(startXref + 10, numberEnd - (startXref + 10), QByteArray::number(newXref));
    return true;
}

} // namespace

QByteArray remap(const QByteArray &pdf, const std::function<char32_t(char32_t)> &preferred)
{
    static const QByteArray marker = "/CIDInit /ProcSet findresource begin";
    static const QRegularExpression header(QStringLiteral("\\A<< /Length (\\d+) >>\\nstream\\n\\z"));

    QList<Edit> edits;
    for (qsizetype at = pdf.indexOf(marker); at >= 0; at = pdf.indexOf(marker, at + marker.size())) {
        const qsizetype headerStart = pdf.lastIndexOf("<< /Length ", at);
        if (headerStart < 0)
            return pdf;
        const QRegularExpressionMatch match = header.match(QString::fromLatin1(pdf.mid(headerStart, at - headerStart)));
        if (!match.hasMatch())
            return pdf;
        const qsizetype length = match.captured(1).toLongLong();
        if (!startsWithAt(pdf, at + length, "\nendstream"))
            return pdf;
        const QByteArray cmap = pdf.mid(at, length);
        const QByteArray remapped = remapCMap(cmap, preferred);
        if (remapped == cmap)
            continue;
        edits.append({headerStart, (at - headerStart) + length,
                      "<< /Length " + QByteArray::number(remapped.size()) + " >>\nstream\n" + remapped});
    }
    if (edits.isEmpty())
        return pdf;

    QByteArray result;
    qsizetype cursor = 0;
    for (const Edit &edit : edits) {
        result += pdf.mid(cursor, edit.position - cursor);
        result += edit.replacement;
        cursor = edit.position + edit.oldLength;
    }
    result += pdf.mid(cursor);
    if (!shiftOffsets(result, edits))
        return pdf;
    return result;
}

} // namespace PdfToUnicode
