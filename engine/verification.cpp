#include "engine/verification.h"

#include "engine/workingstate.h"

#include <QStringList>

namespace Verification {

namespace {

QString groupList(const QList<int> &numbers)
{
    QStringList groups;
    for (int number : numbers)
        groups.append(number == 0 ? QStringLiteral("未分配") : QStringLiteral("组%1").arg(number));
    return groups.join(QStringLiteral("、"));
}

QString unmetLine(const WorkingState &state, const UnmetRequirement &item)
{
    QStringList names;
    for (PersonId id : item.persons)
        names.append(state.nameOf(id));
    switch (item.kind) {
    case UnmetRequirement::Kind::Together:
        return QStringLiteral("✗ 必须同组要求未满足: %1（分在%2）")
            .arg(names.join(QStringLiteral(", ")), groupList(item.groupNumbers));
    case UnmetRequirement::Kind::SharedGroup:
        return QStringLiteral("✗ 不同要求组在同一组: 要求组%1 和 要求组%2 都在组%3")
            .arg(item.index + 1)
            .arg(item.otherIndex + 1)
            .arg(item.groupNumbers.value(0));
    case UnmetRequirement::Kind::Apart:
        return QStringLiteral("✗ 不能同组要求未满足: %1（同在%2）")
            .arg(names.join(QStringLiteral(", ")), groupList(item.groupNumbers));
    case UnmetRequirement::Kind::Pin:
        break;
    }
    return {};
}

} // namespace

RequirementVerdict verify(const WorkingState &state)
{
    state.say(QStringLiteral("开始最终验证..."));
    const ClassModel &model = state.model;
    for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend(); ++it) {
        const PersonId person = it.key();
        if (!state.isOnRoster(person))
            continue;
        const int position = state.positionOfIndex(it->group - 1);
        if (it->group < 1 || position < 0)
            continue;
        const QString name = state.nameOf(person);
        const QString group = QString::number(it->group);
        const QString seat = QString::number(it->seat);
        const Group &seats = state.groups.at(position);
        const int index = it->seat - 1;
        if (index >= 0 && index < seats.size() && seats.at(index) == person) {
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
    for (const UnmetRequirement &item : std::as_const(verdict.unmet)) {
        if (item.kind != UnmetRequirement::Kind::Pin)
            state.say(unmetLine(state, item));
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
