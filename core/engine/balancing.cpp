#include "core/engine/balancing.h"

#include "core/engine/requirementguard.h"
#include "core/engine/workingstate.h"

#include <QMap>

#include <vector>

namespace Balancing {
namespace {

// Group position of every seated person; persons without a seat count as 0.
class Locations
{
public:
    explicit Locations(const WorkingState &state) : m_positions(size_t(state.personCount() + 1), 0)
    {
        for (int p = 0; p < state.groups.size(); ++p) {
            for (PersonId id : state.groups.at(p))
                set(id, p);
        }
    }
    int of(PersonId id) const { return id >= 0 && size_t(id) < m_positions.size() ? m_positions[size_t(id)] : 0; }
    void set(PersonId id, int position)
    {
        if (id >= 0 && size_t(id) < m_positions.size())
            m_positions[size_t(id)] = position;
    }

private:
    std::vector<int> m_positions;
};

bool memberElsewhereIn(const Constraint &members, PersonId person, int position, const Locations &locations)
{
    for (PersonId other : members) {
        if (other != person && locations.of(other) == position)
            return true;
    }
    return false;
}

// Moves `person` out of its group by a same-gender swap with a group that
// holds no other member; true when a swap was made. With `keepTogether` only
// partners whose exchange breaks no 必须同组 requirement count, and
// `heldBack` is set when one was passed over for that.
bool moveApart(WorkingState &state, const Constraint &members, PersonId person, Locations &locations,
               RequirementGuard &guard, bool keepTogether, bool &heldBack)
{
    const int from = locations.of(person);
    QList<int> candidates;
    for (int q = 0; q < state.groups.size(); ++q) {
        if (q != from)
            candidates.append(q);
    }
    shuffleList(candidates, state.generator);

    for (int q : std::as_const(candidates)) {
        if (memberElsewhereIn(members, person, q, locations))
            continue;
        const auto keeps = [&](PersonId partner) {
            const bool safe = !guard.breaksTogether(person, from, q, partner);
            heldBack = heldBack || !safe;
            return safe;
        };
        const PersonId partner = keepTogether ? pickSwapCandidate(state, person, q, state.immovable, keeps)
                                              : pickSwapCandidate(state, person, q, state.immovable);
        if (partner == 0 || members.contains(partner))
            continue;
        const int seat = state.seatOf(from, person);
        const int partnerSeat = state.seatOf(q, partner);
        if (seat < 0 || partnerSeat < 0)
            continue;
        state.groups[from][seat] = partner;
        state.groups[q][partnerSeat] = person;
        locations.set(person, q);
        locations.set(partner, from);
        guard.moved(person, q);
        guard.moved(partner, from);
        return true;
    }
    return false;
}

// Parts one member from the others of its bucket. The members after the
// first are tried in order, as long as a swap keeps every 必须同组
// requirement; then the first member, if one of the others could not move or
// was held back; only then swaps that break one.
bool partBucket(WorkingState &state, const Constraint &members, const QList<PersonId> &bucket, Locations &locations,
                RequirementGuard &guard)
{
    bool metImmovable = false;
    bool heldBack = false;
    for (qsizetype k = 1; k < bucket.size(); ++k) {
        const PersonId person = bucket.at(k);
        if (state.immovable.contains(person)) {
            state.say(QStringLiteral("警告: 人员 %1 在不可移动位置，无法移动以满足不能同组要求")
                          .arg(state.nameOf(person)));
            metImmovable = true;
        } else if (moveApart(state, members, person, locations, guard, true, heldBack)) {
            return true;
        }
    }
    const bool firstMovable = !state.immovable.contains(bucket.first());
    if (firstMovable && (metImmovable || heldBack)
        && moveApart(state, members, bucket.first(), locations, guard, true, heldBack))
        return true;
    if (!heldBack)
        return false;
    for (qsizetype k = 1; k < bucket.size(); ++k) {
        const PersonId person = bucket.at(k);
        if (!state.immovable.contains(person) && moveApart(state, members, person, locations, guard, false, heldBack))
            return true;
    }
    return firstMovable && moveApart(state, members, bucket.first(), locations, guard, false, heldBack);
}

// One pass over every requirement; true when it made at least one swap.
bool separationPass(WorkingState &state, const QList<Constraint> &requirements, Locations &locations,
                    RequirementGuard &guard)
{
    bool swapped = false;
    for (const Constraint &members : requirements) {
        QMap<int, QList<PersonId>> buckets;
        for (PersonId id : members)
            buckets[locations.of(id)].append(id);
        for (const QList<PersonId> &bucket : std::as_const(buckets)) {
            // One member per bucket and pass; the rest wait for the next pass.
            if (bucket.size() > 1 && partBucket(state, members, bucket, locations, guard))
                swapped = true;
        }
    }
    return swapped;
}

} // namespace

void collectImmovable(WorkingState &state)
{
    for (const Group &group : std::as_const(state.groups)) {
        for (PersonId id : group) {
            if (state.fixed.contains(id) || state.isLeader(id))
                state.immovable.insert(id);
        }
    }
}

void orderByGender(WorkingState &state)
{
    state.say(QStringLiteral("进行最终性别分组排列..."));
    for (int p = 0; p < state.groups.size(); ++p) {
        const Group &current = state.groups.at(p);
        Group ordered(current.size(), 0);
        QList<PersonId> boys;
        QList<PersonId> girls;
        for (qsizetype i = 0; i < current.size(); ++i) {
            const PersonId id = current.at(i);
            if (id == 0)
                continue;
            if (state.fixed.contains(id))
                ordered[i] = id;
            else
                (state.isBoy(id) ? boys : girls).append(id);
        }
        shuffleList(boys, state.generator);
        shuffleList(girls, state.generator);

        qsizetype seat = 0;
        for (const QList<PersonId> *persons : {&boys, &girls}) {
            for (PersonId id : *persons) {
                while (ordered.at(seat) != 0)
                    ++seat;
                ordered[seat++] = id;
            }
        }
        state.groups[p] = ordered;

        const QString number = QString::number(state.groupNumber(p));
        QString pattern;
        int boyCount = 0;
        int girlCount = 0;
        bool boyAfterGirl = false;
        for (PersonId id : std::as_const(ordered)) {
            if (id == 0)
                continue;
            if (state.isBoy(id)) {
                pattern += QStringLiteral("M ");
                ++boyCount;
                if (girlCount > 0) {
                    boyAfterGirl = true;
                    state.say(QStringLiteral("警告: 组%1 中男生出现在女生区域").arg(number));
                }
            } else {
                pattern += QStringLiteral("F ");
                ++girlCount;
            }
        }
        state.say(QStringLiteral("组%1 最终性别分布: %2 (男生:%3, 女生:%4)")
                      .arg(number, pattern, QString::number(boyCount), QString::number(girlCount)));
        if (boyAfterGirl)
            state.say(QStringLiteral("错误: 组%1 中男生出现在女生后面").arg(number));
    }
}

void separateRequirements(WorkingState &state)
{
    state.say(QStringLiteral("处理不能同组要求..."));
    QList<Constraint> requirements;
    for (const Constraint &requirement : state.model.mustSeparate) {
        Constraint members;
        for (PersonId id : requirement) {
            if (!state.isOnRoster(id))
                state.say(QStringLiteral("错误: 不能同组要求中的人员编号%1不在名单中，已跳过").arg(id));
            else if (!members.contains(id)) // nobody can be kept apart from themselves
                members.append(id);
        }
        requirements.append(members);
    }

    Locations locations(state);
    RequirementGuard guard(state);
    for (int pass = 0; pass < kMaxSeparationPasses; ++pass) {
        if (!separationPass(state, requirements, locations, guard))
            return;
    }
    state.say(QStringLiteral("警告: 调整次数已达上限(%1次)，部分不能同组要求未能满足").arg(kMaxSeparationPasses));
}

void balanceBoarders(WorkingState &state)
{
    state.say(QStringLiteral("平衡外宿生分布（不移动组长）..."));
    const int groupCount = int(state.groups.size());
    QList<int> counts(groupCount, 0);
    for (int p = 0; p < groupCount; ++p) {
        for (PersonId id : std::as_const(state.groups.at(p))) {
            if (state.isBoarder(id))
                ++counts[p];
        }
    }

    RequirementGuard guard(state);
    for (int iteration = 0; iteration < kMaxBoarderIterations; ++iteration) {
        int high = 0;
        int low = 0;
        for (int p = 1; p < groupCount; ++p) {
            if (counts.at(p) > counts.at(high))
                high = p;
            if (counts.at(p) < counts.at(low))
                low = p;
        }
        if (counts.at(high) - counts.at(low) < 2)
            return;

        // The first pair in seat order whose exchange keeps every requirement.
        bool moved = false;
        const Group &highGroup = state.groups.at(high);
        const Group &lowGroup = state.groups.at(low);
        for (int i = 0; i < highGroup.size() && !moved; ++i) {
            const PersonId boarder = highGroup.at(i);
            if (!state.isBoarder(boarder) || state.immovable.contains(boarder))
                continue;
            for (int j = 0; j < lowGroup.size(); ++j) {
                const PersonId other = lowGroup.at(j);
                if (other == 0 || state.isBoarder(other) || state.immovable.contains(other)
                    || state.isBoy(other) != state.isBoy(boarder) || !guard.isSafe(boarder, high, low, other))
                    continue;
                std::swap(state.groups[high][i], state.groups[low][j]);
                guard.moved(boarder, low);
                guard.moved(other, high);
                --counts[high];
                ++counts[low];
                state.say(QStringLiteral("平衡外宿生: 将 %1 从组%2 移动到组%3")
                              .arg(state.nameOf(boarder), QString::number(state.groupNumber(high)),
                                   QString::number(state.groupNumber(low))));
                moved = true;
                break;
            }
        }
        if (!moved)
            return;
    }
}

PersonId pickSwapCandidate(const WorkingState &state, PersonId person, int position, const PersonFlags &excluded,
                           const std::function<bool(PersonId)> &allowed)
{
    QList<PersonId> candidates;
    const bool boy = state.isBoy(person);
    for (PersonId id : state.groups.at(position)) {
        if (id != 0 && !excluded.contains(id) && state.isBoy(id) == boy && (!allowed || allowed(id)))
            candidates.append(id);
    }
    if (candidates.isEmpty())
        return 0;
    std::mt19937 generator(state.seeds());
    return candidates.at(qsizetype(drawBelow(generator, quint32(candidates.size()))));
}

} // namespace Balancing
