#include "core/engine/requirementguard.h"

#include "core/engine/workingstate.h"

namespace {

void index(const WorkingState &state, const QList<Constraint> &source, QList<Constraint> &members,
           std::vector<QList<int>> &of)
{
    for (const Constraint &requirement : source) {
        Constraint kept;
        for (PersonId id : requirement) {
            if (state.isOnRoster(id) && !kept.contains(id)) {
                kept.append(id);
                of[size_t(id)].append(int(members.size()));
            }
        }
        members.append(kept);
    }
}

} // namespace

RequirementGuard::RequirementGuard(const WorkingState &state)
    : m_position(size_t(state.personCount() + 1), 0)
    , m_togetherOf(size_t(state.personCount() + 1))
    , m_apartOf(size_t(state.personCount() + 1))
{
    // Without a seat a person counts as sitting in group position 0, as the
    // requirement check counts them: a move judged safe here must not turn
    // that check's verdict from met to unmet.
    m_position[0] = -1;
    for (int p = 0; p < state.groups.size(); ++p) {
        for (PersonId id : state.groups.at(p)) {
            if (state.isOnRoster(id))
                m_position[size_t(id)] = p;
        }
    }
    index(state, state.model.mustTogether, m_together, m_togetherOf);
    index(state, state.model.mustSeparate, m_apart, m_apartOf);
}

bool RequirementGuard::fellowIn(const std::vector<QList<int>> &requirementsOf, const QList<Constraint> &requirements,
                                PersonId person, PersonId other, int position) const
{
    if (person <= 0 || size_t(person) >= requirementsOf.size())
        return false;
    for (int r : requirementsOf[size_t(person)]) {
        for (PersonId member : requirements.at(r)) {
            if (member != person && member != other && positionOf(member) == position)
                return true;
        }
    }
    return false;
}

bool RequirementGuard::breaksTogether(PersonId x, int from, int to, PersonId y) const
{
    return fellowIn(m_togetherOf, m_together, x, y, from) || fellowIn(m_togetherOf, m_together, y, x, to);
}

bool RequirementGuard::joinsApart(PersonId x, int from, int to, PersonId y) const
{
    return fellowIn(m_apartOf, m_apart, x, y, to) || fellowIn(m_apartOf, m_apart, y, x, from);
}

void RequirementGuard::moved(PersonId person, int to)
{
    if (person > 0 && size_t(person) < m_position.size())
        m_position[size_t(person)] = to;
}
