#pragma once

// A pin of one person to a group number (1-based configuration index) and a
// 1-based seat. Nothing guarantees the group is enabled or the seat exists.
struct FixedPosition
{
    int group = 1;
    int seat = 1;

    friend bool operator==(const FixedPosition &a, const FixedPosition &b)
    {
        return a.group == b.group && a.seat == b.seat;
    }
};
