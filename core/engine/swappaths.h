#pragma once

#include "core/engine/logsink.h"
#include "core/model/classmodel.h"

#include <QList>

// Brings fixed persons to their prescribed seats by chains of swaps: freely
// within a group, across groups only with somebody of the same gender (an
// empty seat counts as a girl). Works on an uncompacted grouping indexed by
// group position; leaders and other fixed persons may be moved.
class SwapPaths
{
public:
    struct Seat
    {
        int position = 0; // group position
        int index = 0;    // 0-based seat index
        friend bool operator==(const Seat &a, const Seat &b) { return a.position == b.position && a.index == b.index; }
    };
    struct Step
    {
        Seat from;
        Seat to;
    };

    SwapPaths(Grouping &groups, const ClassModel &model, LogSink log);

    void optimizeFixedPositions();
    bool movePerson(PersonId person, int targetPosition, int targetIndex);
    // Breadth-first over the seats as they stand when called; empty when the
    // target cannot be reached.
    QList<Step> findSwapPath(Seat start, Seat target) const;
    bool swapWithinGroup(int position, int a, int b);
    bool swapAcrossGroups(int positionA, int a, int positionB, int b);

private:
    // movePerson with the target seat as a 1-based number of any size.
    bool moveToSeatNumber(PersonId person, int targetPosition, qint64 seatNumber);
    bool isValidSeat(int position, int index) const;
    // Where a person sits now, or {-1, -1}.
    Seat locate(PersonId person) const;
    int groupNumber(int position) const { return m_enabled.value(position, -1) + 1; }
    void say(const QString &line) const
    {
        if (m_log)
            m_log(line);
    }

    Grouping &m_groups;
    const ClassModel &m_model;
    QList<int> m_enabled;
    LogSink m_log;
};
