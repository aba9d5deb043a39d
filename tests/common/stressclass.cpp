#include "common/stressclass.h"

#include <random>

ClassModel stressClass(int persons)
{
    std::mt19937 random(1234);
    ClassModel model;
    for (int i = 0; i < persons; ++i) {
        const QString name = QStringLiteral("学生%1").arg(i + 1, 4, 10, QLatin1Char('0'));
        (i < persons / 2 ? model.maleNames : model.femaleNames).append(name);
        if (i % 10 == 3)
            model.leaderNames.insert(name);
        if (i % 10 == 7)
            model.boarderNames.insert(name);
    }
    model.rebuildNameMaps();
    const int seats = persons / 10;
    for (int i = 0; i < kGroupCount; ++i)
        model.groupConfigs[i] = GroupConfig{true, seats, seats / 2, seats - seats / 2};

    auto anyPerson = [&] { return PersonId(1 + random() % quint32(persons)); };
    auto threeDistinct = [&] {
        Constraint members;
        while (members.size() < 3) {
            const PersonId id = anyPerson();
            if (!members.contains(id))
                members.append(id);
        }
        return members;
    };
    for (int r = 0; r < 50; ++r) {
        model.mustTogether.append(threeDistinct());
        model.mustSeparate.append(threeDistinct());
    }
    while (model.fixedPositions.size() < 20) {
        const FixedPosition seat{int(1 + random() % 10), int(1 + random() % quint32(seats))};
        model.fixedPositions.insert(anyPerson(), seat);
    }
    return model;
}
