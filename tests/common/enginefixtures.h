#pragma once

#include "core/engine/logsink.h"
#include "core/engine/random.h"
#include "core/model/classmodel.h"

#include <QStringList>

#include <memory>
#include <random>

// Small hand-made classes for the engine tests.
namespace Fixtures {

// A roster with every group disabled; enable the groups a test needs.
inline ClassModel makeClass(const QStringList &boys, const QStringList &girls)
{
    ClassModel model;
    model.maleNames = boys;
    model.femaleNames = girls;
    model.rebuildNameMaps();
    for (GroupConfig &config : model.groupConfigs)
        config = GroupConfig{false, 0, 0, 0};
    return model;
}

inline void enableGroup(ClassModel &model, int number, int total, int males, int females)
{
    model.groupConfigs[number - 1] = GroupConfig{true, total, males, females};
}

// "b1".."bN" and "g1".."gN".
inline QStringList names(const QString &prefix, int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list.append(prefix + QString::number(i));
    return list;
}

// Seeds first, first + 1, ...; `calls` counts how many were taken.
struct CountingSeeds
{
    std::shared_ptr<quint32> next;
    std::shared_ptr<int> calls = std::make_shared<int>(0);

    explicit CountingSeeds(quint32 first) : next(std::make_shared<quint32>(first)) {}
    SeedSource source() const
    {
        auto value = next;
        auto count = calls;
        return [value, count] {
            ++*count;
            return (*value)++;
        };
    }
};

struct LogCapture
{
    QStringList lines;
    LogSink sink()
    {
        return [this](const QString &line) { lines.append(line); };
    }
};

// Any class the configuration file can express, including numbers nobody
// holds, disabled and seatless groups and impossible requirements.
inline ClassModel anyClass(std::mt19937 &random)
{
    auto below = [&random](int n) { return int(random() % quint32(n)); };
    // Draws go into locals first: the order a call's arguments are evaluated
    // in differs between compilers, and every build must explore the same classes.
    const int boys = below(25);
    const int girls = below(25);
    ClassModel model = makeClass(names(QStringLiteral("b"), boys), names(QStringLiteral("g"), girls));
    const int persons = model.personCount();
    for (int i = 0; i < kGroupCount; ++i) {
        if (below(4) != 0) {
            const int total = below(10) == 0 ? 12 : below(8);
            const int boysTarget = below(5);
            const int girlsTarget = below(5);
            enableGroup(model, i + 1, total, boysTarget, girlsTarget);
        }
    }
    auto anyPerson = [&] { return below(8) == 0 ? below(persons + 30) : 1 + below(std::max(1, persons)); };
    const QStringList everybody = model.maleNames + model.femaleNames + QStringList{QStringLiteral("nobody")};
    for (const QString &name : everybody) {
        if (below(5) == 0)
            model.leaderNames.insert(name);
        if (below(5) == 0)
            model.boarderNames.insert(name);
    }
    for (QList<Constraint> *list : {&model.mustTogether, &model.mustSeparate}) {
        for (int r = below(6); r > 0; --r) {
            Constraint members;
            for (int m = 1 + below(4); m > 0; --m)
                members.append(anyPerson());
            list->append(members);
        }
    }
    for (int f = below(6); f > 0; --f) {
        const PersonId person = anyPerson();
        const int group = below(12);
        const int seat = below(8);
        model.fixedPositions.insert(person, FixedPosition{group, seat});
    }
    return model;
}

} // namespace Fixtures
