#include "core/engine/placement.h"

#include "core/engine/workingstate.h"

#include <algorithm>
#include <tuple>

namespace Placement {

bool prepare(WorkingState &state)
{
    const ClassModel &model = state.model;
    state.enabled = model.enabledGroupIndexes();
    if (state.enabled.isEmpty())
        return false;

    state.groups.clear();
    for (int index : std::as_const(state.enabled))
        state.groups.append(Group(std::max(0, model.groupConfigs.at(index).total), 0));
    state.requirementGroup = QList<bool>(model.groupConfigs.size(), false);

    const int count = state.personCount();
    state.unassigned = PersonFlags(count + 1);
    state.fixed = PersonFlags(count + 1);
    state.immovable = PersonFlags(count + 1);
    for (PersonId id = 1; id <= count; ++id)
        state.unassigned.insert(id);

    state.generator.seed(state.seeds());
    return true;
}

void placeFixedPositions(WorkingState &state)
{
    const ClassModel &model = state.model;
    QList<PersonId> order = model.fixedPositions.keys();
    std::stable_sort(order.begin(), order.end(), [&model](PersonId a, PersonId b) {
        return model.fixedPositions.value(a).group < model.fixedPositions.value(b).group;
    });

    for (PersonId id : std::as_const(order)) {
        const FixedPosition fixedAt = model.fixedPositions.value(id);
        const int group = fixedAt.group;
        const int seat = fixedAt.seat;
        if (!state.isOnRoster(id)) {
            // A hand-edited file may pin a number nobody holds; seating it
            // would put a nameless person into the plan.
            state.say(QStringLiteral("错误: 固定位置中的人员编号%1不在名单中，已跳过").arg(id));
            continue;
        }
        const QString name = state.nameOf(id);
        state.say(QStringLiteral("处理固定位置: %1 到组%2座位%3").arg(name, QString::number(group), QString::number(seat)));

        if (group < 1 || group > model.groupConfigs.size() || !model.groupConfigs.at(group - 1).enabled) {
            state.say(QStringLiteral("错误: 组%1未启用或索引无效").arg(group));
            continue;
        }
        const int position = state.positionOfIndex(group - 1);
        Group &seats = state.groups[position];
        if (seat < 1 || seat > seats.size()) {
            state.say(QStringLiteral("错误: 座位位置%1超出范围(1-%2)").arg(seat).arg(seats.size()));
            continue;
        }
        if (const PersonId holder = seats.at(seat - 1); holder != 0) {
            state.say(QStringLiteral("错误: 座位%1已被固定位置人员 %2 占用，无法放置 %3")
                          .arg(seat)
                          .arg(state.nameOf(holder), name));
            continue;
        }
        seats[seat - 1] = id;
        state.fixed.insert(id);
        state.unassigned.remove(id);
        state.say(QStringLiteral("成功分配固定位置: %1 到组%2座位%3").arg(name, QString::number(group), QString::number(seat)));
    }
}

namespace {

// Configuration indexes of the groups a requirement's pinned members sit in.
QList<int> pinnedGroups(const WorkingState &state, const Constraint &requirement)
{
    QList<int> groups;
    for (PersonId id : requirement) {
        if (state.fixed.contains(id))
            groups.append(state.model.fixedPositions.value(id).group - 1);
    }
    return groups;
}

// A requirement with a member pinned to a group still on offer takes that
// group, so the pinned member is not left behind. Otherwise it takes the
// first offer that does best at, in this order: room for its members, not
// needed by a later requirement's pinned member, gender targets that leave
// room for its boys and girls. With none of these anywhere: the first offer.
qsizetype candidateFor(const WorkingState &state, qsizetype requirement, const QList<int> &candidates)
{
    const QList<Constraint> &requirements = state.model.mustTogether;
    for (int group : pinnedGroups(state, requirements.at(requirement))) {
        if (const qsizetype at = candidates.indexOf(group); at >= 0)
            return at;
    }
    QList<int> needed;
    for (qsizetype later = requirement + 1; later < requirements.size(); ++later)
        needed += pinnedGroups(state, requirements.at(later));
    QList<PersonId> toSeat;
    for (PersonId id : requirements.at(requirement)) {
        if (state.unassigned.contains(id) && !toSeat.contains(id))
            toSeat.append(id);
    }
    const auto boysToSeat = std::count_if(toSeat.cbegin(), toSeat.cend(), [&](PersonId id) { return state.isBoy(id); });
    const auto girlsToSeat = toSeat.size() - boysToSeat;

    auto merit = [&](int configIndex) {
        const Group &seats = state.groups.at(state.positionOfIndex(configIndex));
        const GroupConfig &config = state.model.groupConfigs.at(configIndex);
        const auto boys = std::count_if(seats.cbegin(), seats.cend(), [&](PersonId id) { return state.isBoy(id); });
        const auto girls = seats.size() - seats.count(0) - boys;
        const bool fits = boys + boysToSeat <= config.males && girls + girlsToSeat <= config.females;
        return std::make_tuple(seats.count(0) >= toSeat.size(), !needed.contains(configIndex), fits);
    };
    qsizetype best = 0;
    auto bestMerit = merit(candidates.first());
    for (qsizetype at = 1; at < candidates.size(); ++at) {
        if (const auto m = merit(candidates.at(at)); bestMerit < m) {
            best = at;
            bestMerit = m;
        }
    }
    return best;
}

} // namespace

void placeTogetherRequirements(WorkingState &state)
{
    QList<int> candidates = state.enabled;
    shuffleList(candidates, state.generator);

    const QList<Constraint> &requirements = state.model.mustTogether;
    for (qsizetype r = 0; r < requirements.size(); ++r) {
        const Constraint &requirement = requirements.at(r);
        if (candidates.isEmpty()) {
            state.say(QStringLiteral("错误：没有足够的组来分配所有要求组"));
            return;
        }
        const int configIndex = candidates.takeAt(candidateFor(state, r, candidates));
        state.requirementGroup[configIndex] = true;
        Group &seats = state.groups[state.positionOfIndex(configIndex)];

        int cursor = 0;
        for (PersonId id : requirement) {
            if (!state.isOnRoster(id)) {
                state.say(QStringLiteral("错误: 必须同组要求中的人员编号%1不在名单中，已跳过").arg(id));
                continue;
            }
            if (state.fixed.contains(id)) {
                state.say(QStringLiteral("人员 %1 已被固定位置占用，跳过要求分配").arg(state.nameOf(id)));
                continue;
            }
            if (!state.unassigned.contains(id)) {
                // Named again (in an earlier 必须同组 requirement or twice in
                // this one): one person holds one seat.
                state.say(QStringLiteral("人员 %1 已在必须同组要求中分配座位，跳过重复分配").arg(state.nameOf(id)));
                continue;
            }
            while (cursor < seats.size() && seats.at(cursor) != 0)
                ++cursor;
            if (cursor >= seats.size()) {
                state.say(QStringLiteral("错误: 组%1没有足够的空位分配给要求组").arg(configIndex + 1));
                break;
            }
            seats[cursor] = id;
            state.unassigned.remove(id);
            ++cursor;
        }
    }
}

} // namespace Placement
