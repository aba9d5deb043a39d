#pragma once

#include "core/model/personid.h"

#include <vector>

// A set of person numbers 0..capacity-1 with constant-time tests; numbers
// outside that range are never members.
class PersonFlags
{
public:
    explicit PersonFlags(int capacity = 0) : m_flags(size_t(capacity > 0 ? capacity : 0), false) {}

    bool contains(PersonId id) const { return id >= 0 && size_t(id) < m_flags.size() && m_flags[size_t(id)]; }
    void insert(PersonId id)
    {
        if (id >= 0 && size_t(id) < m_flags.size())
            m_flags[size_t(id)] = true;
    }
    void remove(PersonId id)
    {
        if (id >= 0 && size_t(id) < m_flags.size())
            m_flags[size_t(id)] = false;
    }

private:
    std::vector<bool> m_flags;
};
