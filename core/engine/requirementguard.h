#pragma once

#include "core/model/constraint.h"
#include "core/model/personid.h"

#include <QList>

#include <vector>

struct WorkingState;

// Tells the rearranging steps whether a change of seats would break a
// 必须同组 requirement (take a member away from a fellow member) or bring two
// members of a 不能同组 requirement into one group. It keeps its own record
// of where everybody sits: callers report each change with moved().
class RequirementGuard
{
public:
    explicit RequirementGuard(const WorkingState &state);

    // Person x goes from group position `from` to `to`; y, when not 0, goes
    // the other way.
    bool breaksTogether(PersonId x, int from, int to, PersonId y = 0) const;
    bool joinsApart(PersonId x, int from, int to, PersonId y = 0) const;
    bool isSafe(PersonId x, int from, int to, PersonId y = 0) const
    {
        return !breaksTogether(x, from, to, y) && !joinsApart(x, from, to, y);
    }

    void moved(PersonId person, int to);

private:
    // A member of one of `requirements` of `person`, other than the two
    // movers, sitting in group position `position`.
    bool fellowIn(const std::vector<QList<int>> &requirementsOf, const QList<Constraint> &requirements,
                  PersonId person, PersonId other, int position) const;
    int positionOf(PersonId id) const
    {
        return id >= 0 && size_t(id) < m_position.size() ? m_position[size_t(id)] : -1;
    }

    std::vector<int> m_position;            // group position, 0 without a seat
    QList<Constraint> m_together;           // roster members of each requirement
    QList<Constraint> m_apart;
    std::vector<QList<int>> m_togetherOf;   // person -> indexes into m_together
    std::vector<QList<int>> m_apartOf;
};
