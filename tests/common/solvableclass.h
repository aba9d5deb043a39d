#pragma once

#include "core/model/classmodel.h"

#include <QStringList>

#include <algorithm>
#include <random>

// Random classes that can be arranged with every requirement kept: group
// sizes, gender targets and one leader per group are read off an arrangement
// made first, 必须同组 requirements lie inside its groups, 不能同组 ones
// across them, and pins point at its seats.
namespace Solvable {

struct SolvableClass
{
    ClassModel model;
    Grouping arrangement; // by group position, boys first in every group
};

inline SolvableClass makeClass(std::mt19937 &random)
{
    auto below = [&random](int n) { return n <= 1 ? 0 : int(random() % quint32(n)); };
    auto between = [&below](int low, int high) { return low + below(high - low + 1); };

    // Which of the ten records take part, and their make-up.
    QList<int> indexes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::shuffle(indexes.begin(), indexes.end(), random);
    indexes.resize(between(3, 10));
    std::sort(indexes.begin(), indexes.end());
    QList<int> boys;
    QList<int> girls;
    int boyTotal = 0;
    int girlTotal = 0;
    for (int k = 0; k < indexes.size(); ++k) {
        const int size = between(3, 6);
        int b = 0;
        for (int s = 0; s < size; ++s)
            b += below(2);
        boys.append(b);
        girls.append(size - b);
        boyTotal += b;
        girlTotal += size - b;
    }

    SolvableClass made;
    ClassModel &model = made.model;
    for (int i = 0; i < boyTotal; ++i)
        model.maleNames.append(QStringLiteral("男%1").arg(i + 1));
    for (int i = 0; i < girlTotal; ++i)
        model.femaleNames.append(QStringLiteral("女%1").arg(i + 1));
    model.rebuildNameMaps();
    for (int i = 0; i < kGroupCount; ++i)
        model.groupConfigs[i] = GroupConfig{false, 0, 0, 0};

    QList<PersonId> boyIds;
    QList<PersonId> girlIds;
    for (PersonId id = 1; id <= boyTotal + girlTotal; ++id)
        (id <= boyTotal ? boyIds : girlIds).append(id);
    std::shuffle(boyIds.begin(), boyIds.end(), random);
    std::shuffle(girlIds.begin(), girlIds.end(), random);
    for (int k = 0, nextBoy = 0, nextGirl = 0; k < indexes.size(); ++k) {
        model.groupConfigs[indexes.at(k)] = GroupConfig{true, boys.at(k) + girls.at(k), boys.at(k), girls.at(k)};
        Group group = boyIds.mid(nextBoy, boys.at(k)) + girlIds.mid(nextGirl, girls.at(k));
        nextBoy += boys.at(k);
        nextGirl += girls.at(k);
        model.leaderNames.insert(model.nameOf(group.at(below(int(group.size())))));
        made.arrangement.append(group);
    }
    for (PersonId id = 1; id <= model.personCount(); ++id) {
        if (below(100) < 15)
            model.boarderNames.insert(model.nameOf(id));
    }

    const int groupCount = int(indexes.size());
    auto distinctMembers = [&](const Group &from, int count) {
        Group pool = from;
        std::shuffle(pool.begin(), pool.end(), random);
        return pool.mid(0, count);
    };
    QList<int> positions;
    for (int p = 0; p < groupCount; ++p)
        positions.append(p);
    std::shuffle(positions.begin(), positions.end(), random);
    const int togetherCount = std::min(between(2, 6), groupCount);
    for (int r = 0; r < togetherCount; ++r) {
        const Group &group = made.arrangement.at(positions.at(r));
        model.mustTogether.append(distinctMembers(group, std::min(int(group.size()), between(2, 3))));
    }
    for (int r = between(2, 8); r > 0; --r) {
        QList<int> apart = positions;
        std::shuffle(apart.begin(), apart.end(), random);
        Constraint members;
        for (int m = std::min(groupCount, between(2, 3)); m > 0; --m) {
            const Group &group = made.arrangement.at(apart.at(m - 1));
            members.append(group.at(below(int(group.size()))));
        }
        model.mustSeparate.append(members);
    }
    for (int f = between(0, 4); f > 0; --f) {
        const int p = below(groupCount);
        const int seat = below(int(made.arrangement.at(p).size()));
        model.fixedPositions.insert(made.arrangement.at(p).at(seat), FixedPosition{indexes.at(p) + 1, seat + 1});
    }
    return made;
}

} // namespace Solvable

namespace Solvable {

// Harder to arrange: about 90% of the seats lie in 必须同组 requirements (two
// per group sharing a student), two members of each group are pinned to their
// seats, and 8-20 不能同组 requirements run across the groups.
inline SolvableClass makeHarderClass(std::mt19937 &random)
{
    SolvableClass made = makeClass(random);
    auto below = [&random](int n) { return n <= 1 ? 0 : int(random() % quint32(n)); };
    ClassModel &model = made.model;
    const QList<int> enabled = model.enabledGroupIndexes();
    const int groupCount = int(made.arrangement.size());
    model.mustTogether.clear();
    model.fixedPositions.clear();
    for (int p = 0; p < groupCount; ++p) {
        const Group &group = made.arrangement.at(p);
        const int size = std::max(2, int((group.size() * 9 + 9) / 10));
        if (group.size() < 2)
            continue;
        Group members = group;
        std::shuffle(members.begin(), members.end(), random);
        members = members.mid(0, std::min<qsizetype>(size, group.size()));
        // Two requirements sharing a student, which act as one.
        const qsizetype half = std::max<qsizetype>(2, members.size() / 2 + 1);
        model.mustTogether.append(members.mid(0, half));
        if (members.size() > half)
            model.mustTogether.append(members.mid(half - 1));
        for (int k = 0; k < 2 && k < members.size(); ++k) {
            const PersonId pinned = members.at(k);
            model.fixedPositions.insert(pinned, FixedPosition{enabled.at(p) + 1, int(group.indexOf(pinned)) + 1});
        }
    }
    model.mustSeparate.clear();
    for (int r = 8 + below(13); r > 0 && groupCount >= 2; --r) {
        const int a = below(groupCount);
        const int b = (a + 1 + below(groupCount - 1)) % groupCount;
        const Group &first = made.arrangement.at(a);
        const Group &second = made.arrangement.at(b);
        model.mustSeparate.append({first.at(below(int(first.size()))), second.at(below(int(second.size())))});
    }
    return made;
}

} // namespace Solvable
