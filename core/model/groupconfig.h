#pragma once

#include <QList>

// One of the ten group records; the group number a user sees is index + 1.
struct GroupConfig
{
    bool enabled = true;
    int total = 6;
    int males = 2;
    int females = 4;

    friend bool operator==(const GroupConfig &a, const GroupConfig &b)
    {
        return a.enabled == b.enabled && a.total == b.total && a.males == b.males
               && a.females == b.females;
    }
};

constexpr int kGroupCount = 10;

// The record a missing configuration yields: groups 1-9 take part with six
// seats, group 10 is off with none.
GroupConfig defaultGroupConfig(int index);
QList<GroupConfig> defaultGroupConfigs();
