#pragma once

#include "core/model/classmodel.h"

#include <QList>
#include <QString>

// What a printed seating plan shows: the date, and per group its number and
// one entry per seat. Fixed positions and requirements are left out on
// purpose: a plan on the classroom door must not tell who was pinned.
struct PlanSeat
{
    QString name; // empty: an empty seat
    bool leader = false;
    bool boarder = false;
};

struct PlanGroup
{
    int number = 0; // the group number the results table shows
    QList<PlanSeat> seats;
};

struct SeatingPlan
{
    QString date; // "yyyy.MM.dd", as the workbook export writes it
    QList<PlanGroup> groups;
};

// Which way the plan faces: students see the podium at the front (top of the
// page), the teacher at the podium sees the room turned round.
enum class PlanView { Student, Teacher };

// The plan of the current grouping. A group gets as many seats as its record
// has (members first, then empty seats), never fewer than it holds members.
// A grouping that does not match the enabled records (the nine empty groups
// of a new seat table) is numbered 1, 2, ... with six seats each, as the
// results table shows it.
SeatingPlan seatingPlanOf(const ClassModel &model, const QString &date);

