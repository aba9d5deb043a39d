#include "core/engine/swappaths.h"

#include <climits>
#include <vector>

SwapPaths::SwapPaths(Grouping &groups, const ClassModel &model, LogSink log)
    : m_groups(groups)
    , m_model(model)
    , m_enabled(model.enabledGroupIndexes())
    , m_log(std::move(log))
{
}

void SwapPaths::optimizeFixedPositions()
{
    say(QStringLiteral("开始优化固定位置分配..."));
    // Where everybody sat when the optimisation began; moves below do not update it.
    std::vector<Seat> locations(size_t(m_model.personCount() + 1), Seat{-1, -1});
    for (int p = 0; p < m_groups.size(); ++p) {
        const Group &group = m_groups.at(p);
        for (int i = 0; i < group.size(); ++i) {
            if (m_model.isOnRoster(group.at(i)))
                locations[size_t(group.at(i))] = {p, i};
        }
    }

    int successes = 0;
    int failures = 0;
    for (auto it = m_model.fixedPositions.cbegin(); it != m_model.fixedPositions.cend(); ++it) {
        const PersonId person = it.key();
        if (!m_model.isOnRoster(person))
            continue; // reported when the fixed positions were placed
        const QString name = m_model.nameOf(person);
        const Seat recorded = locations[size_t(person)];
        if (recorded.position < 0) {
            say(QStringLiteral("错误: 人员 %1 不在当前分组中").arg(name));
            ++failures;
            continue;
        }
        // Pins come from a hand-edited file and may hold any int: compare
        // before subtracting, and keep the seat as a number.
        const int targetPosition = it->group >= 1 ? int(m_enabled.indexOf(it->group - 1)) : -1;
        const bool atTarget = it->seat >= 1 && recorded == Seat{targetPosition, it->seat - 1};
        if (targetPosition >= 0 && (atTarget || moveToSeatNumber(person, targetPosition, it->seat))) {
            ++successes;
            continue;
        }
        ++failures;
        say(QStringLiteral("固定位置分配失败: %1 到组%2位置%3")
                .arg(name, QString::number(it->group), QString::number(it->seat)));
    }
    say(QStringLiteral("固定位置优化完成: 成功 %1, 失败 %2").arg(successes).arg(failures));
}

bool SwapPaths::movePerson(PersonId person, int targetPosition, int targetIndex)
{
    return moveToSeatNumber(person, targetPosition, qint64(targetIndex) + 1);
}

bool SwapPaths::moveToSeatNumber(PersonId person, int targetPosition, qint64 seatNumber)
{
    const QString name = m_model.nameOf(person);
    const Seat start = locate(person);
    if (start.position < 0) {
        say(QStringLiteral("错误: 未找到人员 %1").arg(name));
        return false;
    }
    // A seat number below 1 names no seat; the search cannot reach index -1.
    const Seat target{targetPosition, seatNumber >= 1 && seatNumber <= INT_MAX ? int(seatNumber - 1) : -1};
    if (start == target)
        return true;

    const QList<Step> path = findSwapPath(start, target);
    if (path.isEmpty()) {
        say(QStringLiteral("错误: 无法找到从组%1位置%2到组%3位置%4的交换路径")
                .arg(groupNumber(start.position))
                .arg(start.index + 1)
                .arg(groupNumber(target.position))
                .arg(seatNumber));
        return false;
    }
    for (const Step &step : path) {
        if (step.from.position == step.to.position)
            swapWithinGroup(step.from.position, step.from.index, step.to.index);
        else
            swapAcrossGroups(step.from.position, step.from.index, step.to.position, step.to.index);
    }
    say(QStringLiteral("成功移动 %1 到组%2位置%3")
            .arg(name, QString::number(groupNumber(target.position)), QString::number(seatNumber)));
    return true;
}

QList<SwapPaths::Step> SwapPaths::findSwapPath(Seat start, Seat target) const
{
    if (!isValidSeat(start.position, start.index))
        return {};
    const QChar moverGender = m_model.genderOf(m_groups.at(start.position).at(start.index));

    struct Node
    {
        Seat seat;
        int parent;
    };
    std::vector<Node> nodes; // every node ever queued; the queue is its tail from `head`
    std::vector<std::vector<char>> visited;
    for (const Group &group : std::as_const(m_groups))
        visited.emplace_back(size_t(group.size()), 0);
    // A group whose seats have all been queued, or whose seats of the mover's
    // gender have all been queued, needs no second scan: nothing in it is new.
    std::vector<char> allQueued(size_t(m_groups.size()), 0);
    std::vector<char> sameGenderQueued(size_t(m_groups.size()), 0);

    auto push = [&](Seat seat, int parent) {
        visited[size_t(seat.position)][size_t(seat.index)] = 1;
        nodes.push_back({seat, parent});
    };
    push(start, -1);

    for (size_t head = 0; head < nodes.size(); ++head) {
        const Seat here = nodes[head].seat;
        if (here == target) {
            QList<Step> steps;
            for (int i = int(head); nodes[size_t(i)].parent >= 0; i = nodes[size_t(i)].parent)
                steps.prepend({nodes[size_t(nodes[size_t(i)].parent)].seat, nodes[size_t(i)].seat});
            return steps;
        }
        const int r = here.position;
        if (!allQueued[size_t(r)]) {
            const Group &group = m_groups.at(r);
            for (int i = 0; i < group.size(); ++i) {
                if (!visited[size_t(r)][size_t(i)])
                    push({r, i}, int(head));
            }
            allQueued[size_t(r)] = 1;
            sameGenderQueued[size_t(r)] = 1;
        }
        for (int j = 0; j < m_groups.size(); ++j) {
            if (j == r || sameGenderQueued[size_t(j)])
                continue;
            const Group &group = m_groups.at(j);
            for (int k = 0; k < group.size(); ++k) {
                if (!visited[size_t(j)][size_t(k)] && m_model.genderOf(group.at(k)) == moverGender)
                    push({j, k}, int(head));
            }
            sameGenderQueued[size_t(j)] = 1;
        }
    }
    return {};
}

bool SwapPaths::swapWithinGroup(int position, int a, int b)
{
    if (!isValidSeat(position, a) || !isValidSeat(position, b))
        return false;
    std::swap(m_groups[position][a], m_groups[position][b]);
    say(QStringLiteral("组内交换: 位置%1 ↔ 位置%2").arg(a + 1).arg(b + 1));
    return true;
}

bool SwapPaths::swapAcrossGroups(int positionA, int a, int positionB, int b)
{
    if (!isValidSeat(positionA, a) || !isValidSeat(positionB, b))
        return false;
    PersonId &first = m_groups[positionA][a];
    PersonId &second = m_groups[positionB][b];
    if (m_model.genderOf(first) != m_model.genderOf(second)) {
        say(QStringLiteral("错误: 跨组交换需要同性别人员"));
        return false;
    }
    std::swap(first, second);
    say(QStringLiteral("跨组交换: 组%1位置%2 ↔ 组%3位置%4")
            .arg(groupNumber(positionA))
            .arg(a + 1)
            .arg(groupNumber(positionB))
            .arg(b + 1));
    return true;
}

bool SwapPaths::isValidSeat(int position, int index) const
{
    return position >= 0 && position < m_groups.size() && index >= 0 && index < m_groups.at(position).size();
}

SwapPaths::Seat SwapPaths::locate(PersonId person) const
{
    for (int p = 0; p < m_groups.size(); ++p) {
        const int index = int(m_groups.at(p).indexOf(person));
        if (index >= 0)
            return {p, index};
    }
    return {-1, -1};
}
