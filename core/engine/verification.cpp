#include "core/engine/verification.h"

#include "core/engine/workingstate.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace Verification {

namespace {

// Group position of every roster member, -1 without a seat.
std::vector<int> positions(const WorkingState &state)
{
    std::vector<int> position(size_t(state.personCount() + 1), -1);
    for (int p = 0; p < state.groups.size(); ++p) {
        for (PersonId id : state.groups.at(p)) {
            if (state.isOnRoster(id))
                position[size_t(id)] = p;
        }
    }
    return position;
}

// Group numbers in ascending order, "未分配" for a member without a seat last.
QString groupList(const WorkingState &state, const std::vector<int> &position, const QList<PersonId> &persons)
{
    QList<int> numbers;
    bool unseated = false;
    for (PersonId id : persons) {
        const int p = position[size_t(id)];
        unseated = unseated || p < 0;
        if (p >= 0 && !numbers.contains(state.groupNumber(p)))
            numbers.append(state.groupNumber(p));
    }
    std::sort(numbers.begin(), numbers.end());
    QStringList groups;
    for (int number : std::as_const(numbers))
        groups.append(QStringLiteral("组%1").arg(number));
    if (unseated)
        groups.append(QStringLiteral("未分配"));
    return groups.join(QStringLiteral("、"));
}

QString names(const WorkingState &state, const QList<PersonId> &persons)
{
    QStringList list;
    for (PersonId id : persons)
        list.append(state.nameOf(id));
    return list.join(QStringLiteral(", "));
}

// The members of a 不能同组 requirement that share a group with another,
// reading a member without a seat as the checker does (group position 0).
QList<PersonId> crowded(const std::vector<int> &position, const QList<PersonId> &members)
{
    QList<int> groups;
    for (PersonId id : members)
        groups.append(std::max(0, position[size_t(id)]));
    QList<PersonId> sharing;
    for (qsizetype i = 0; i < members.size(); ++i) {
        if (groups.count(groups.at(i)) > 1)
            sharing.append(members.at(i));
    }
    return sharing;
}

QString unmetLine(const WorkingState &state, const std::vector<int> &position, const RequirementResult &result)
{
    switch (result.kind) {
    case RequirementKind::MustTogether:
        return QStringLiteral("✗ 必须同组要求未满足: %1（分在%2）")
            .arg(names(state, result.persons), groupList(state, position, result.persons));
    case RequirementKind::TogetherGroupsApart:
        return QStringLiteral("✗ 不同要求组在同一组: 要求组%1 和 要求组%2 都在组%3")
            .arg(result.requirement + 1)
            .arg(result.otherRequirement + 1)
            .arg(state.groupNumber(result.group));
    case RequirementKind::MustSeparate: {
        const QList<PersonId> members = crowded(position, result.persons);
        return QStringLiteral("✗ 不能同组要求未满足: %1（同在%2）")
            .arg(names(state, members), groupList(state, position, members));
    }
    default:
        return {};
    }
}

} // namespace

RequirementVerdict verify(const WorkingState &state)
{
    // Unheard, the verdict is all a try needs.
    if (!state.isHeard())
        return judgeRequirements(state.model, state.groups);
    state.say(QStringLiteral("开始最终验证..."));
    const ClassModel &model = state.model;
    for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend(); ++it) {
        const PersonId person = it.key();
        if (!state.isOnRoster(person))
            continue;
        // Hand-edited numbers may be any int: compare before subtracting.
        const int position = it->group >= 1 ? state.positionOfIndex(it->group - 1) : -1;
        if (position < 0)
            continue;
        const QString name = state.nameOf(person);
        const QString group = QString::number(it->group);
        const QString seat = QString::number(it->seat);
        const Group &seats = state.groups.at(position);
        if (it->seat >= 1 && it->seat <= seats.size() && seats.at(it->seat - 1) == person) {
            state.say(QStringLiteral("✓ 固定位置验证通过: %1 在组%2座位%3").arg(name, group, seat));
            continue;
        }
        QString actual = QStringLiteral("未分配");
        for (int p = 0; p < state.groups.size(); ++p) {
            if (state.groups.at(p).contains(person)) {
                actual = QString::number(state.groupNumber(p));
                break;
            }
        }
        state.say(QStringLiteral("✗ 固定位置验证失败: %1 应该在组%2座位%3，实际在组%4").arg(name, group, seat, actual));
    }

    for (int p = 0; p < state.groups.size(); ++p) {
        const int count = state.leaderCount(p);
        const int number = state.groupNumber(p);
        if (count == 1)
            state.say(QStringLiteral("✓ 组长分配验证通过: 组%1 有1个组长").arg(number));
        else if (count > 1)
            state.say(QStringLiteral("✗ 组长分配失败: 组%1 有%2个组长").arg(number).arg(count));
        else
            state.say(QStringLiteral("⚠ 组长分配警告: 组%1 没有组长").arg(number));
    }

    // Pins have had their lines above; every other unmet requirement gets one.
    RequirementVerdict verdict = judgeRequirements(model, state.groups);
    const std::vector<int> position = positions(state);
    for (const RequirementResult &result : std::as_const(verdict.unmet)) {
        if (result.kind != RequirementKind::FixedPosition)
            state.say(unmetLine(state, position, result));
    }
    return verdict;
}

Grouping compact(const WorkingState &state)
{
    Grouping result;
    result.reserve(state.groups.size());
    for (const Group &group : std::as_const(state.groups)) {
        Group members;
        for (PersonId id : group) {
            if (id != 0)
                members.append(id);
        }
        result.append(members);
    }
    state.say(QStringLiteral("分组完成"));
    return result;
}

} // namespace Verification
