#include "print/planpainter.h"

#include "print/pdftounicode.h"

#include <QBuffer>
#include <QDir>
#include <QHash>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>
#include <QSet>

#include <algorithm>

namespace {

quint32 glyphOf(const QRawFont &font, char32_t codePoint)
{
    const QList<quint32> glyphs = font.glyphIndexesForString(QString::fromUcs4(&codePoint, 1));
    return glyphs.size() == 1 ? glyphs.first() : 0;
}

// For a code point the writer put into a ToUnicode map: the character that
// was drawn with the same glyph, if the code point itself was not drawn.
std::function<char32_t(char32_t)> drawnCharacterFor(const PlanPage &page)
{
    QSet<char32_t> drawn;
    QList<QFont> fonts;
    for (const PlanBox &box : page.boxes) {
        for (uint point : box.text.toUcs4())
            drawn.insert(char32_t(point));
        const bool known = std::any_of(fonts.cbegin(), fonts.cend(), [&box](const QFont &font) {
            return font.families() == box.font.families() && font.bold() == box.font.bold();
        });
        if (!known)
            fonts.append(box.font);
    }
    QList<char32_t> ordered(drawn.cbegin(), drawn.cend());
    std::sort(ordered.begin(), ordered.end());

    QList<QRawFont> rawFonts;
    QHash<QPair<int, quint32>, char32_t> byGlyph;
    for (const QFont &font : fonts) {
        const QRawFont raw = QRawFont::fromFont(font);
        const int index = int(rawFonts.size());
        rawFonts.append(raw);
        for (char32_t point : ordered) {
            const quint32 glyph = glyphOf(raw, point);
            if (glyph != 0 && !byGlyph.contains({index, glyph}))
                byGlyph.insert({index, glyph}, point);
        }
    }
    return [drawn, rawFonts, byGlyph](char32_t point) {
        if (drawn.contains(point))
            return point;
        for (int index = 0; index < rawFonts.size(); ++index) {
            const quint32 glyph = glyphOf(rawFonts.at(index), point);
            const auto found = byGlyph.constFind({index, glyph});
            if (glyph != 0 && found != byGlyph.cend())
                return *found;
        }
        return point;
    };
}

} // namespace

QPageLayout seatingPlanPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

void paintPlanPage(QPainter &painter, const PlanPage &page)
{
    painter.save();
    QPen frame(Qt::black);
    frame.setWidthF(page.lineWidth);
    for (const PlanBox &box : page.boxes) {
        if (box.fill.isValid())
            painter.fillRect(box.rect, box.fill);
        if (box.framed) {
            frame.setWidthF(box.kind == PlanBox::Kind::Podium ? 2 * page.lineWidth : page.lineWidth);
            painter.setPen(frame);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(box.rect);
        }
        if (box.text.isEmpty())
            continue;
        painter.setPen(Qt::black);
        painter.setFont(box.font);
        // A name wider than its cell still prints whole; names are never cut.
        painter.drawText(box.rect, int(box.alignment) | Qt::TextSingleLine | Qt::TextDontClip, box.text);
    }
    painter.restore();
}

PlanPage paintSeatingPlan(QPagedPaintDevice &device, const SeatingPlan &plan, PlanView view)
{
    QPainter painter(&device);
    const PlanPage page = layOutSeatingPlan(plan, view, QRectF(0, 0, device.width(), device.height()), &device);
    paintPlanPage(painter, page);
    return page;
}

QByteArray seatingPlanPdf(const SeatingPlan &plan, PlanView view)
{
    QByteArray pdf;
    PlanPage page;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(seatingPlanPageLayout());
        writer.setTitle(PlanText::kTitle);
        writer.setCreator(QStringLiteral("Quorvane"));
        page = paintSeatingPlan(writer, plan, view);
    }
    return PdfToUnicode::remap(pdf, drawnCharacterFor(page));
}

QString saveSeatingPlanPdf(const QString &path, const SeatingPlan &plan, PlanView view)
{
    const QByteArray pdf = seatingPlanPdf(plan, view);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit())
        return QStringLiteral("无法写入文件 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString());
    return QString();
}
