#pragma once

#include "core/storage/arrangementhistory.h"
#include "core/storage/historybook.h"
#include "core/engine/solverstep.h"
#include "core/model/classmodel.h"

#include <QStringList>

// Between the class model and the history: a grouping becomes a record by
// name, and a record becomes a grouping of the current roster again.

// The 必须同组 and 不能同组 verdicts that "要求检查" would report as unmet.
int unmetRequirementCount(const ClassModel &model, const Grouping &groups);
// "所有要求已满足", or how many requirements are unmet.
QString verdictText(int unmetRequirements);

// The grouping (by group position) with its marks and verdict; id, use order
// and export are left for the history to fill.
ArrangementRecord recordOf(const ClassModel &model, const Grouping &groups, quint32 seed, const QDateTime &time);
// Whether and how the constraint solver took part, as the record keeps it.
void noteSolver(ArrangementRecord &record, const Engine::SolverReport &report);

struct RosterArrangement
{
    Grouping groups; // one per enabled group, by group position
    // Names not (or no longer) on the roster, and second appearances of one
    // student, in record order: left out.
    QStringList missingNames;
    // Group numbers of the record that are not enabled now, and their members.
    QList<int> disabledGroups;
    QStringList disabledGroupNames;
};

// The record on today's roster and groups: names become today's numbers,
// each recorded group goes to the enabled group of the same number.
RosterArrangement placeOnRoster(const ArrangementRecord &record, const ClassModel &model);

// The record's groups by today's person numbers, one per recorded group,
// for keeping its groupmates apart.
Grouping groupmatesOf(const ArrangementRecord &record, const ClassModel &model);

struct LastArrangement
{
    int record = 0; // its history id; 0 when there is none
    Grouping groups; // as groupmatesOf gives them
};
// The arrangement whose groupmates a run keeps apart: record `preferred` if
// the history still holds it, else the one in use last.
LastArrangement lastArrangement(const HistoryBook &history, const ClassModel &model, int preferred);
// What a repeat of `record`'s seed keeps apart: what that run kept apart,
// nothing when it kept nothing apart, so that the repeat is the same run.
LastArrangement avoidedBy(const HistoryBook &history, const ClassModel &model, const ArrangementRecord &record);
// The newest record made with this seed, or none.
const ArrangementRecord *newestWithSeed(const QList<ArrangementRecord> &records, quint32 seed);

// "1-9", "1-3, 5": the group numbers of a record, runs joined.
QString groupNumbersText(const ArrangementRecord &record);
