#pragma once

#include "core/model/classmodel.h"

#include <QString>
#include <QStringList>

// Getting an arrangement back from a seating plan the export wrote: the seat
// markers of the template it was made from say which cell holds which seat.
namespace SeatPlan {

struct ReadBack
{
    Grouping groups;          // by group position, seats in order, empty seats left out
    QStringList unknownNames; // names in seat cells that are not on the roster, left out
    QString problem;          // empty when both workbooks were read
};

// groupCount is the least number of groups the result has (the enabled
// groups); a plan with names in later groups gets those too.
ReadBack readArrangement(const QString &planPath, const QString &templatePath, const ClassModel &model,
                         int groupCount);

// The newest plan "保存" wrote into the directory (a time-stamped
// "_座位表.xlsx" name), or an empty string when there is none.
QString latestSavedPlan(const QString &directory);

} // namespace SeatPlan
