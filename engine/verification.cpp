#include "engine/verification.h"

#include "engine/workingstate.h"

namespace Verification {

void verify(const WorkingState &state)
{
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
