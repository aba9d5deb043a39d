#include "core/engine/leaders.h"

#include "core/engine/requirementguard.h"
#include "core/engine/workingstate.h"

namespace Leaders {
namespace {

struct LeaderSeats
{
    QList<int> overfull;   // group positions with more than one leader
    QList<int> leaderless; // group positions without a leader
    QList<QList<int>> seats; // leader seat indexes per group position
};

LeaderSeats surveyLeaders(const WorkingState &state)
{
    LeaderSeats survey;
    for (int p = 0; p < state.groups.size(); ++p) {
        QList<int> seats;
        const Group &group = state.groups.at(p);
        for (int i = 0; i < group.size(); ++i) {
            if (state.isLeader(group.at(i)))
                seats.append(i);
        }
        if (seats.size() > 1)
            survey.overfull.append(p);
        else if (seats.isEmpty())
            survey.leaderless.append(p);
        survey.seats.append(seats);
    }
    return survey;
}

// Offers each movable leader of an over-full group, in seat order, to the
// leaderless groups in order; `tryPlace` makes the change and says so.
template <typename TryPlace>
bool firstLeaderChange(const WorkingState &state, const LeaderSeats &survey, TryPlace tryPlace)
{
    for (int p : survey.overfull) {
        for (int i : survey.seats.at(p)) {
            const PersonId leader = state.groups.at(p).at(i);
            if (state.fixed.contains(leader))
                continue;
            for (int q : survey.leaderless) {
                if (tryPlace(p, i, leader, q))
                    return true;
            }
        }
    }
    return false;
}

// With a guard, only changes that keep every requirement count.
bool moveLeader(WorkingState &state, const LeaderSeats &survey, RequirementGuard *guard)
{
    return firstLeaderChange(state, survey, [&state, guard](int p, int i, PersonId leader, int q) {
        const int j = state.lowestEmptySeat(q);
        if (j < 0 || (guard && !guard->isSafe(leader, p, q)))
            return false;
        state.groups[q][j] = leader;
        state.groups[p][i] = 0;
        state.say(QStringLiteral("解决组长冲突: 将组长 %1 从组%2 移动到组%3")
                      .arg(state.nameOf(leader), QString::number(state.groupNumber(p)),
                           QString::number(state.groupNumber(q))));
        return true;
    });
}

bool swapLeader(WorkingState &state, const LeaderSeats &survey, RequirementGuard *guard)
{
    return firstLeaderChange(state, survey, [&state, guard](int p, int i, PersonId leader, int q) {
        const Group &target = state.groups.at(q);
        for (int j = 0; j < target.size(); ++j) {
            const PersonId other = target.at(j);
            if (other == 0 || state.isLeader(other) || state.fixed.contains(other)
                || state.genderOf(other) != state.genderOf(leader) || (guard && !guard->isSafe(leader, p, q, other)))
                continue;
            state.groups[q][j] = leader;
            state.groups[p][i] = other;
            state.say(QStringLiteral("解决组长冲突(交换): 将组长 %1 从组%2 与组%3的 %4 交换")
                          .arg(state.nameOf(leader), QString::number(state.groupNumber(p)),
                               QString::number(state.groupNumber(q)), state.nameOf(other)));
            return true;
        }
        return false;
    });
}

} // namespace

void placeUnseatedLeaders(WorkingState &state)
{
    const ClassModel &model = state.model;
    PersonFlags seated(state.personCount() + 1);
    for (const Group &group : std::as_const(state.groups)) {
        for (PersonId id : group)
            seated.insert(id);
    }

    QList<PersonId> unplaced;
    for (const QString &name : sortedNames(model.leaderNames)) {
        // An empty name marks nobody, wherever leaders are counted.
        if (name.isEmpty())
            continue;
        const auto found = model.nameToId.constFind(name);
        if (found == model.nameToId.constEnd())
            continue;
        if (seated.contains(found.value()))
            state.say(QStringLiteral("组长 %1 已被分配").arg(name));
        else
            unplaced.append(found.value());
    }
    shuffleList(unplaced, state.generator);

    QList<bool> hasLeader(state.groups.size(), false);
    for (int p = 0; p < state.groups.size(); ++p) {
        for (PersonId id : std::as_const(state.groups.at(p))) {
            if (state.isLeader(id)) {
                hasLeader[p] = true;
                state.say(QStringLiteral("组%1 已有组长: %2").arg(state.groupNumber(p)).arg(state.nameOf(id)));
                break;
            }
        }
    }

    qsizetype next = 0;
    for (int p = 0; p < state.groups.size() && next < unplaced.size(); ++p) {
        if (hasLeader.at(p))
            continue;
        const int seat = state.lowestEmptySeat(p);
        if (seat < 0) {
            state.say(QStringLiteral("警告: 无法为组%1 分配组长，没有空位").arg(state.groupNumber(p)));
            continue;
        }
        const PersonId leader = unplaced.at(next++);
        state.groups[p][seat] = leader;
        state.unassigned.remove(leader);
        hasLeader[p] = true;
        state.say(QStringLiteral("分配组长 %1 到组%2座位%3")
                      .arg(state.nameOf(leader), QString::number(state.groupNumber(p)), QString::number(seat + 1)));
    }

    if (next < unplaced.size()) {
        state.say(QStringLiteral("警告: 有 %1 个组长未能分配").arg(unplaced.size() - next));
        for (qsizetype i = next; i < unplaced.size(); ++i)
            state.say(QStringLiteral("未分配组长: %1").arg(state.nameOf(unplaced.at(i))));
    }
}

void resolveConflicts(WorkingState &state)
{
    for (int iteration = 0; iteration < kMaxConflictIterations; ++iteration) {
        const LeaderSeats survey = surveyLeaders(state);
        if (survey.overfull.isEmpty() || survey.leaderless.isEmpty())
            return;
        // A move or swap that keeps every requirement first; the first
        // possible one only when there is none.
        RequirementGuard guard(state);
        if (!moveLeader(state, survey, &guard) && !swapLeader(state, survey, &guard)
            && !moveLeader(state, survey, nullptr) && !swapLeader(state, survey, nullptr))
            return;
    }
}

void reportLeaders(WorkingState &state)
{
    for (int p = 0; p < state.groups.size(); ++p) {
        const int count = state.leaderCount(p);
        if (count == 0)
            state.say(QStringLiteral("警告: 经过冲突解决后，组%1 没有组长").arg(state.groupNumber(p)));
        else if (count > 1)
            state.say(QStringLiteral("警告: 经过冲突解决后，组%1 仍有 %2 个组长").arg(state.groupNumber(p)).arg(count));
    }
}

} // namespace Leaders
