#pragma once

#include "core/engine/logsink.h"
#include "core/engine/personflags.h"
#include "core/engine/random.h"
#include "core/model/classmodel.h"

#include <QChar>
#include <QList>
#include <QString>

#include <random>

// Who of the roster is a leader or a boarder, answered once for all the
// tries of a generation instead of once per try.
struct RosterMarks
{
    explicit RosterMarks(const ClassModel &model);
    PersonFlags leaders;
    PersonFlags boarders;
};

// Everything one generation run works on; built by the preparation step and
// discarded with the run. Groups are indexed by group position and keep their
// full seat count (0 = empty seat) until the final compaction.
struct WorkingState
{
    WorkingState(const ClassModel &model, LogSink log, SeedSource seeds);
    WorkingState(const ClassModel &model, LogSink log, SeedSource seeds, const RosterMarks &marks);

    const ClassModel &model;
    LogSink log;
    SeedSource seeds;
    std::mt19937 generator;

    QList<int> enabled; // configuration indexes, ascending
    Grouping groups;
    PersonFlags unassigned;
    PersonFlags fixed;
    QList<bool> requirementGroup; // by configuration index
    PersonFlags immovable;

    void say(const QString &line) const
    {
        if (log)
            log(line);
    }
    // Whether anyone reads the lines: a try run only for its score skips
    // building the many lines of seats and checks that no one would see.
    bool isHeard() const { return bool(log); }

    int groupNumber(int position) const { return enabled.at(position) + 1; }
    // Group position of a configuration index, -1 when that group is off.
    int positionOfIndex(int configIndex) const { return int(enabled.indexOf(configIndex)); }
    bool isRequirementGroup(int position) const { return requirementGroup.at(enabled.at(position)); }

    QString nameOf(PersonId id) const { return model.nameOf(id); }
    bool isOnRoster(PersonId id) const { return id >= 1 && id <= m_personCount; }
    bool isBoy(PersonId id) const { return id >= 1 && id <= m_boyCount; }
    QChar genderOf(PersonId id) const { return isBoy(id) ? u'M' : u'F'; }
    bool isLeader(PersonId id) const { return m_marks.leaders.contains(id); }
    bool isBoarder(PersonId id) const { return m_marks.boarders.contains(id); }
    int personCount() const { return m_personCount; }

    // Smallest seat index holding 0, or -1 when the group is full.
    int lowestEmptySeat(int position) const { return int(groups.at(position).indexOf(0)); }
    int leaderCount(int position) const;
    // Seat index of a person in a group, or -1.
    int seatOf(int position, PersonId id) const { return int(groups.at(position).indexOf(id)); }

private:
    int m_personCount = 0;
    int m_boyCount = 0;
    // Roster look-ups answered once per run instead of once per seat visit.
    RosterMarks m_marks;
};
