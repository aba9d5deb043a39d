#include "print/planlayout.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kGroupsPerRow = 3;
constexpr qreal kLargestName = 16;
constexpr qreal kSmallestName = 8;
constexpr qreal kNameStep = 0.5;
// A cell may grow up to this many times its natural height to fill the page.
constexpr qreal kCellStretch = 1.6;

const QColor kHeaderFill = QColor(0xDD, 0xEB, 0xF7);
const QColor kPodiumFill = QColor(0xE2, 0xEF, 0xDA);

struct Units
{
    qreal dpi = 72;
    qreal mm(qreal value) const { return value * dpi / 25.4; }
};

QFont planFont(qreal pointSize, bool bold)
{
    QFont font;
    const QString family = planFontFamily();
    if (!family.isEmpty())
        font.setFamilies({family});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

qreal headerSizeFor(qreal nameSize)
{
    return std::clamp(nameSize, 9.0, 12.0);
}

int ceilDiv(qsizetype a, int b)
{
    return int((a + b - 1) / b);
}

// Sizes of the name cells at the largest name size; everything scales linearly.
struct NameMetrics
{
    qreal widest = 0;     // the widest name in bold
    qreal lineHeight = 0; // of a name
    qreal headerHeight = 0; // of a header at 12 pt
};

NameMetrics measureNames(const SeatingPlan &plan, const QPaintDevice *device)
{
    const QFontMetricsF bold(planFont(kLargestName, true), device);
    NameMetrics metrics;
    // A blank plan still gets cells wide enough to write a name in by hand.
    metrics.widest = bold.horizontalAdvance(QStringLiteral("姓名名"));
    for (const PlanGroup &group : plan.groups) {
        for (const PlanSeat &seat : group.seats)
            metrics.widest = std::max(metrics.widest, bold.horizontalAdvance(seat.name));
    }
    metrics.lineHeight = bold.height();
    metrics.headerHeight = QFontMetricsF(planFont(12, true), device).height();
    return metrics;
}

// Cell and header sizes at one name size.
struct Scale
{
    qreal nameSize = kLargestName;
    qreal cellWidth = 0;
    qreal cellHeight = 0;
    qreal headerHeight = 0;
    int columns = 1; // the most name columns a block can hold
};

Scale scaleAt(qreal nameSize, const NameMetrics &metrics, qreal blockWidth, const Units &units)
{
    const qreal factor = nameSize / kLargestName;
    Scale scale;
    scale.nameSize = nameSize;
    scale.cellWidth = metrics.widest * factor + 2 * units.mm(1.5);
    scale.cellHeight = metrics.lineHeight * factor * 1.5;
    scale.headerHeight = metrics.headerHeight * headerSizeFor(nameSize) / 12 * 1.5;
    scale.columns = std::max(1, int(std::floor(blockWidth / scale.cellWidth)));
    return scale;
}

qreal rowNeed(qsizetype seats, const Scale &scale)
{
    return scale.headerHeight + ceilDiv(seats, scale.columns) * scale.cellHeight;
}

// The largest name size at which every row of blocks fits the grid's height;
// at the smallest size rows are squeezed to fit instead.
Scale chooseScale(const QList<qsizetype> &rowSeats, qreal gridHeight, qreal gapY, const NameMetrics &metrics,
                  qreal blockWidth, const Units &units)
{
    const qreal available = gridHeight - gapY * std::max<qsizetype>(0, rowSeats.size() - 1);
    Scale scale;
    for (qreal size = kLargestName; size >= kSmallestName; size -= kNameStep) {
        scale = scaleAt(size, metrics, blockWidth, units);
        qreal need = 0;
        for (qsizetype seats : rowSeats)
            need += rowNeed(seats, scale);
        if (need <= available)
            return scale;
    }
    qreal need = 0;
    for (qsizetype seats : rowSeats)
        need += rowNeed(seats, scale);
    const qreal squeeze = need > 0 ? available / need : 1;
    scale.cellHeight *= squeeze;
    scale.headerHeight *= squeeze;
    return scale;
}

// The rectangle turned half round inside the frame.
QRectF turned(const QRectF &rect, const QRectF &frame)
{
    return QRectF(frame.left() + frame.right() - rect.right(), frame.top() + frame.bottom() - rect.bottom(),
                  rect.width(), rect.height());
}

void addGroupBlock(PlanPage &page, const PlanGroup &group, const QRectF &slot, const Scale &scale,
                   PlanView view, const QRectF &grid)
{
    const qsizetype seats = group.seats.size();
    const qreal seatHeight = slot.height() - scale.headerHeight;
    int columns = scale.columns;
    for (int k = 1; k < scale.columns; ++k) {
        if (ceilDiv(seats, k) * scale.cellHeight <= seatHeight) {
            columns = k;
            break;
        }
    }
    const int lines = ceilDiv(seats, columns);
    const qreal cellHeight = lines > 0 ? std::min(seatHeight / lines, scale.cellHeight * kCellStretch) : 0;
    const qreal cellWidth = slot.width() / columns;

    QRectF block(slot.left(), slot.top(), slot.width(), scale.headerHeight + lines * cellHeight);
    QRectF seatArea(block.left(), block.top() + scale.headerHeight, block.width(), lines * cellHeight);
    const QRectF studentSeatArea = seatArea;
    if (view == PlanView::Teacher) {
        block = turned(block, grid);
        seatArea.moveTo(block.left(), block.top() + scale.headerHeight);
    }

    PlanBox header;
    header.kind = PlanBox::Kind::GroupHeader;
    header.rect = QRectF(block.left(), block.top(), block.width(), scale.headerHeight);
    header.text = PlanText::groupHeader(group.number);
    header.font = planFont(headerSizeFor(scale.nameSize), true);
    header.fill = kHeaderFill;
    header.framed = true;
    page.boxes.append(header);

    const QFont regular = planFont(scale.nameSize, false);
    const QFont bold = planFont(scale.nameSize, true);
    for (int index = 0; index < seats; ++index) {
        const PlanSeat &seat = group.seats.at(index);
        QRectF cell(studentSeatArea.left() + (index % columns) * cellWidth,
                    studentSeatArea.top() + (index / columns) * cellHeight, cellWidth, cellHeight);
        if (view == PlanView::Teacher)
            cell = turned(cell.translated(seatArea.topLeft() - studentSeatArea.topLeft()), seatArea);
        PlanBox box;
        box.kind = PlanBox::Kind::Seat;
        box.rect = cell;
        box.text = seat.name;
        box.font = seat.leader ? bold : regular;
        if (seat.boarder)
            box.fill = kBoarderFill;
        box.framed = true;
        page.boxes.append(box);
    }
}

} // namespace

QString planFontFamily()
{
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        // Sans families for Simplified Chinese first: under a non-Chinese
        // locale the toolkit's fallback may pick Japanese glyph shapes.
        static const char *const preferred[] = {"Noto Sans CJK SC", "Source Han Sans SC", "Source Han Sans CN",
                                                "Microsoft YaHei", "PingFang SC", "WenQuanYi Micro Hei",
                                                "WenQuanYi Zen Hei", "SimHei"};
        for (const char *name : preferred) {
            if (installed.contains(QLatin1String(name)))
                return QString::fromLatin1(name);
        }
        return installed.value(0);
    }();
    return family;
}

PlanPage layOutSeatingPlan(const SeatingPlan &plan, PlanView view, const QRectF &area, const QPaintDevice *device)
{
    const Units units{device ? qreal(device->logicalDpiY()) : 72.0};
    PlanPage page;
    page.lineWidth = units.mm(0.25);

    const QFont titleFont = planFont(20, true);
    const QRectF titleRect(area.left(), area.top(), area.width(), QFontMetricsF(titleFont, device).height() * 1.3);
    PlanBox title;
    title.kind = PlanBox::Kind::Title;
    title.rect = titleRect;
    title.text = PlanText::kTitle;
    title.font = titleFont;
    page.boxes.append(title);

    PlanBox date;
    date.kind = PlanBox::Kind::Date;
    date.rect = titleRect;
    date.text = plan.date;
    date.font = planFont(11, false);
    date.alignment = Qt::AlignRight | Qt::AlignVCenter;
    page.boxes.append(date);

    PlanBox legend;
    legend.kind = PlanBox::Kind::Legend;
    legend.font = planFont(9, false);
    const qreal legendHeight = QFontMetricsF(legend.font, device).height() * 1.4;
    legend.rect = QRectF(area.left(), area.bottom() - legendHeight, area.width(), legendHeight);
    legend.text = PlanText::kLegend;
    legend.alignment = Qt::AlignLeft | Qt::AlignVCenter;
    page.boxes.append(legend);

    const qreal gapX = units.mm(6);
    const qreal gapY = units.mm(4);
    const qreal blockWidth = (area.width() - (kGroupsPerRow - 1) * gapX) / kGroupsPerRow;
    const qreal podiumHeight = units.mm(10);
    const qreal top = titleRect.bottom() + units.mm(2);
    const qreal bottom = legend.rect.top() - units.mm(2);
    const qreal podiumGap = units.mm(5);

    PlanBox podium;
    podium.kind = PlanBox::Kind::Podium;
    podium.text = PlanText::kPodium;
    podium.font = planFont(14, true);
    podium.fill = kPodiumFill;
    podium.framed = true;
    QRectF grid;
    const qreal podiumLeft = area.center().x() - blockWidth / 2;
    if (view == PlanView::Student) {
        podium.rect = QRectF(podiumLeft, top, blockWidth, podiumHeight);
        grid = QRectF(area.left(), top + podiumHeight + podiumGap, area.width(), 0);
        grid.setBottom(bottom);
    } else {
        podium.rect = QRectF(podiumLeft, bottom - podiumHeight, blockWidth, podiumHeight);
        grid = QRectF(area.left(), top, area.width(), 0);
        grid.setBottom(bottom - podiumHeight - podiumGap);
    }
    page.boxes.append(podium);

    const qsizetype groupCount = plan.groups.size();
    QList<qsizetype> rowSeats;
    for (qsizetype first = 0; first < groupCount; first += kGroupsPerRow) {
        qsizetype most = 0;
        for (qsizetype g = first; g < std::min(groupCount, first + kGroupsPerRow); ++g)
            most = std::max(most, plan.groups.at(g).seats.size());
        rowSeats.append(most);
    }
    const Scale scale = chooseScale(rowSeats, grid.height(), gapY, measureNames(plan, device), blockWidth, units);
    page.nameSize = scale.nameSize;

    qreal spare = grid.height() - gapY * std::max<qsizetype>(0, rowSeats.size() - 1);
    for (qsizetype seats : rowSeats)
        spare -= rowNeed(seats, scale);
    const qreal extraPerRow = rowSeats.isEmpty() ? 0 : std::max<qreal>(0, spare) / rowSeats.size();

    qreal rowTop = grid.top();
    for (qsizetype row = 0; row < rowSeats.size(); ++row) {
        const qreal rowHeight = rowNeed(rowSeats.at(row), scale) + extraPerRow;
        const qsizetype first = row * kGroupsPerRow;
        const qsizetype inRow = std::min<qsizetype>(kGroupsPerRow, groupCount - first);
        const qreal rowWidth = inRow * blockWidth + (inRow - 1) * gapX;
        qreal left = area.center().x() - rowWidth / 2;
        for (qsizetype g = first; g < first + inRow; ++g) {
            addGroupBlock(page, plan.groups.at(g), QRectF(left, rowTop, blockWidth, rowHeight), scale, view,
                          grid);
            left += blockWidth + gapX;
        }
        rowTop += rowHeight + gapY;
    }
    return page;
}
