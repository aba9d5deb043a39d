#pragma once

#include "core/model/seatingplan.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>

class QPaintDevice;

// Where everything of a printed seating plan goes on one page: a list of
// boxes, each a rectangle with its text, font, fill and frame, in the
// coordinates of the page area it was laid out for.
struct PlanBox
{
    enum class Kind { Title, Date, Podium, GroupHeader, Seat, Legend };

    Kind kind = Kind::Seat;
    QRectF rect;
    QString text;
    QFont font;
    QColor fill;   // invalid: none
    bool framed = false;
    Qt::Alignment alignment = Qt::AlignCenter;
};

struct PlanPage
{
    QList<PlanBox> boxes;
    qreal nameSize = 0;  // point size of the names
    qreal lineWidth = 0; // of the frames, in page units
};

namespace PlanText {
inline const QString kTitle = QStringLiteral("班级座位表");
inline const QString kPodium = QStringLiteral("讲台");
inline const QString kLegend = QStringLiteral("粗体: 组长　黄色: 外宿生");
inline QString groupHeader(int number) { return QStringLiteral("第%1组").arg(number); }
} // namespace PlanText

// The page of a plan in the area (painter coordinates of the device, whose
// resolution turns points and millimetres into units). Groups stand in rows
// of three, the last row centred; each block is a header over its seats,
// row by row, in as many columns as the names need. Names are as large as
// the page allows, from 16 pt down to 8 pt.
PlanPage layOutSeatingPlan(const SeatingPlan &plan, PlanView view, const QRectF &area, const QPaintDevice *device);

// Light yellow behind boarders: visible on paper, names still readable.
inline const QColor kBoarderFill = QColor(0xFF, 0xF5, 0x9D);

// The Simplified Chinese family the plan is drawn in; empty when the system
// has none (then the toolkit's fallback decides).
QString planFontFamily();
