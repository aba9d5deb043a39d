#pragma once

#include "print/planlayout.h"
#include "core/model/seatingplan.h"

#include <QByteArray>
#include <QPageLayout>

class QPagedPaintDevice;
class QPainter;

// Putting a seating plan on paper: any paged device (a printer, a PDF
// writer), one page, drawn with QPainter alone.

// A4 landscape with 12 mm margins, the page a plan starts with.
QPageLayout seatingPlanPageLayout();

void paintPlanPage(QPainter &painter, const PlanPage &page);

// Lays the plan out on the device's printable area and draws it there.
PlanPage paintSeatingPlan(QPagedPaintDevice &device, const SeatingPlan &plan, PlanView view);

// The plan as a one-page PDF whose text reads back as it was drawn.
QByteArray seatingPlanPdf(const SeatingPlan &plan, PlanView view);

// Writes that PDF to path atomically; the error text to show, or empty on success.
QString saveSeatingPlanPdf(const QString &path, const SeatingPlan &plan, PlanView view);
