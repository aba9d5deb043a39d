#include "engine/workingstate.h"

WorkingState::WorkingState(const ClassModel &model, LogSink log, SeedSource seeds)
    : model(model)
    , log(std::move(log))
    , seeds(seeds ? std::move(seeds) : platformSeedSource())
    , m_personCount(model.personCount())
    , m_boyCount(model.boyCount())
    , m_leaders(model.personCount() + 1)
    , m_boarders(model.personCount() + 1)
{
    for (PersonId id = 1; id <= m_personCount; ++id) {
        if (model.isLeader(id))
            m_leaders.insert(id);
        if (model.isBoarder(id))
            m_boarders.insert(id);
    }
}

int WorkingState::leaderCount(int position) const
{
    int count = 0;
    for (PersonId id : groups.at(position)) {
        if (isLeader(id))
            ++count;
    }
    return count;
}
