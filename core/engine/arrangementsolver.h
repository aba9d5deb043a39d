#pragma once

#include "core/model/classmodel.h"

#include <QList>

// The constraint solver behind "无法满足要求时使用约束求解". Hard: every
// enabled group's seats, every 必须同组 requirement (requirements sharing a
// student as one, different ones in different groups), every 不能同组
// requirement, every pin that can be kept (group and seat), everyone seated.
// Soft, each outweighing all after it: the gender targets, one leader per
// group, boarders within one of each other, and the fewest students moved
// from a given arrangement. Only this module talks to the solver library.
namespace ArrangementSolver {

// A setting the solver may name in a conflict.
enum class SettingKind { MustTogether, MustSeparate, FixedPosition };

struct Setting
{
    SettingKind kind = SettingKind::MustTogether;
    // Index in mustTogether / mustSeparate, or the pinned person.
    int index = 0;

    friend bool operator==(const Setting &a, const Setting &b) { return a.kind == b.kind && a.index == b.index; }
};

// How much searching one call may do. The work limit counts search nodes and
// decides the outcome, so the same class gives the same answer on any
// machine; the time limit only guards against a machine far slower than
// the limit was set for.
struct Budget
{
    quint64 nodes = 0;
    int milliseconds = 0;
};

// 2 s for classes up to 100 students, 5 s above.
Budget budgetFor(const ClassModel &model);

enum class Status {
    Solved,     // an arrangement meets every hard constraint
    Infeasible, // proved: none does
    Undecided,  // the budget ran out first
};

struct Arrangement
{
    Status status = Status::Undecided;
    // By group position, every seat shown (0 = empty), when solved.
    Grouping groups;
    // Students whose group or seat differs from the start.
    int moved = 0;
};

// An arrangement that keeps every hard constraint and as much of the soft
// ones as the budget finds, starting from `start` (by group position, every
// seat shown, as the engine leaves it before compaction). A start that
// already keeps every hard constraint comes back unchanged. The model must
// have at least as many seats in its enabled groups as students.
Arrangement solve(const ClassModel &model, const Grouping &start, const Budget &budget);

struct Conflict
{
    Status status = Status::Undecided; // Infeasible: `settings` cannot all be met
    // 不能同组, then 必须同组 (each by list index), then pins (ascending person).
    QList<Setting> settings;
    bool minimal = false; // no setting can be left out (every shrinking step finished)
};

// Whether the hard constraints can all be met; when not, a set of settings
// that cannot, shrunk by leaving out one setting at a time while the rest
// still conflict.
Conflict findConflict(const ClassModel &model, const Budget &budget);

// The teacher's words for a conflict: "不能同组 王浩然, 李子轩 / 必须同组 王浩然, 李子轩".
QString describe(const ClassModel &model, const QList<Setting> &settings);

} // namespace ArrangementSolver
