#include "core/engine/workingstate.h"

RosterMarks::RosterMarks(const ClassModel &model)
    : leaders(model.personCount() + 1)
    , boarders(model.personCount() + 1)
{
    for (PersonId id = 1; id <= model.personCount(); ++id) {
        if (model.isLeader(id))
            leaders.insert(id);
        if (model.isBoarder(id))
            boarders.insert(id);
    }
}

WorkingState::WorkingState(const ClassModel &model, LogSink log, SeedSource seeds)
    : WorkingState(model, std::move(log), std::move(seeds), RosterMarks(model))
{
}

WorkingState::WorkingState(const ClassModel &model, LogSink log, SeedSource seeds, const RosterMarks &marks)
    : model(model)
    , log(std::move(log))
    , seeds(seeds ? std::move(seeds) : platformSeedSource())
    , m_personCount(model.personCount())
    , m_boyCount(model.boyCount())
    , m_marks(marks)
{
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
