#pragma once

#include "engine/logsink.h"
#include "engine/random.h"
#include "model/classmodel.h"

#include <QStringList>

#include <memory>

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

} // namespace Fixtures
