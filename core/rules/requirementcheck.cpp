#include "core/rules/requirementcheck.h"

#include <QMap>
#include <QSet>

#include <algorithm>
#include <vector>

namespace {

// Where each person sits: the group position of the last seat holding the
// number, as personGroupMap reads a grouping. Roster numbers are looked up in
// a table; the engine judges every try with this, so it must be quick.
class Seating
{
public:
    Seating(const ClassModel &model, const Grouping &groups) : m_position(size_t(model.personCount() + 1), -1)
    {
        for (int p = 0; p < groups.size(); ++p) {
            for (PersonId id : groups.at(p)) {
                if (id > 0 && size_t(id) < m_position.size())
                    m_position[size_t(id)] = p;
                else if (id != 0)
                    m_others.insert(id, p);
            }
        }
    }
    bool isSeated(PersonId id) const { return positionOr(id, -1) >= 0; }
    // Unseated persons read as position 0, as the requirement check has always read them.
    int groupOf(PersonId id) const { return positionOr(id, 0); }
    int positionOr(PersonId id, int unseated) const
    {
        if (id > 0 && size_t(id) < m_position.size())
            return m_position[size_t(id)] < 0 ? unseated : m_position[size_t(id)];
        return m_others.value(id, unseated);
    }

private:
    std::vector<int> m_position;
    QMap<PersonId, int> m_others; // numbers off the roster, should a grouping hold any
};

// Leader and boarder marks of every roster number, looked up once per check.
struct Marks
{
    explicit Marks(const ClassModel &model)
        : leader(size_t(model.personCount() + 1), false)
        , boarder(size_t(model.personCount() + 1), false)
    {
        // ClassModel::hasMark's rule, walking the names instead of looking each up.
        for (auto it = model.idToName.cbegin(); it != model.idToName.cend(); ++it) {
            if (it.key() < 1 || size_t(it.key()) >= leader.size() || it->isEmpty())
                continue;
            leader[size_t(it.key())] = model.leaderNames.contains(*it);
            boarder[size_t(it.key())] = model.boarderNames.contains(*it);
        }
    }
    std::vector<bool> leader;
    std::vector<bool> boarder;
};

template <typename IsLeader, typename IsBoarder>
PersonnelCounts countWith(const ClassModel &model, const Group &group, IsLeader isLeader, IsBoarder isBoarder)
{
    PersonnelCounts counts;
    for (PersonId id : group) {
        if (id == 0)
            continue;
        if (model.isBoy(id))
            ++counts.boys;
        else
            ++counts.girls;
        if (isLeader(id))
            ++counts.leaders;
        if (isBoarder(id))
            ++counts.boarders;
    }
    counts.people = counts.boys + counts.girls;
    return counts;
}

RequirementResult listEntry(RequirementKind kind, const QList<PersonId> &members, int index)
{
    RequirementResult result;
    result.kind = kind;
    result.requirement = index;
    result.persons = members;
    result.trivial = members.size() < 2;
    return result;
}

RequirementResult judgeTogether(const QList<PersonId> &members, const Seating &seating, int index)
{
    RequirementResult result = listEntry(RequirementKind::MustTogether, members, index);
    if (result.trivial)
        return result;
    result.group = seating.groupOf(members.first());
    for (PersonId id : members)
        result.met = result.met && seating.groupOf(id) == result.group;
    return result;
}

RequirementResult judgeSeparate(const QList<PersonId> &members, const Seating &seating, int index)
{
    RequirementResult result = listEntry(RequirementKind::MustSeparate, members, index);
    QSet<int> taken;
    for (PersonId id : members) {
        const int group = seating.groupOf(id);
        if (taken.contains(group) && result.met) {
            result.met = false;
            result.group = group;
        }
        taken.insert(group);
    }
    return result;
}

RequirementResult judgePin(const ClassModel &model, const Grouping &groups, const Seating &seating, PersonId person,
                           const FixedPosition &pin)
{
    RequirementResult result;
    result.kind = RequirementKind::FixedPosition;
    result.persons = {person};
    const int position = model.positionOfGroupNumber(pin.group);
    result.group = position;
    if (position < 0 || position >= groups.size() || seating.positionOr(person, -1) != position) {
        result.met = false;
        return result;
    }
    const int total = std::max(0, model.groupConfigs.at(pin.group - 1).total);
    const Group &seats = groups.at(position);
    if (pin.seat < 1 || pin.seat > total) {
        result.met = false;
    } else if (seats.size() == total) {
        result.met = seats.at(pin.seat - 1) == person;
    } else {
        for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend(); ++it) {
            if (it.key() != person && it.value() == pin && seating.positionOr(it.key(), -1) == position)
                result.met = false;
        }
    }
    return result;
}

RequirementResult targetResult(RequirementKind kind, int position, int actual, int expected)
{
    RequirementResult result;
    result.kind = kind;
    result.group = position;
    result.actual = actual;
    result.expected = expected;
    result.met = actual == expected;
    return result;
}

} // namespace

PersonnelCounts &PersonnelCounts::operator+=(const PersonnelCounts &other)
{
    people += other.people;
    boys += other.boys;
    girls += other.girls;
    leaders += other.leaders;
    boarders += other.boarders;
    return *this;
}

PersonnelCounts countGroup(const ClassModel &model, const Group &group)
{
    return countWith(
        model, group, [&model](PersonId id) { return model.isLeader(id); },
        [&model](PersonId id) { return model.isBoarder(id); });
}

QList<PersonId> rosterMembers(const ClassModel &model, const Constraint &requirement)
{
    QList<PersonId> members;
    for (PersonId id : requirement) {
        if (model.isOnRoster(id) && !members.contains(id))
            members.append(id);
    }
    return members;
}

QList<QList<int>> linkedTogetherRequirements(const ClassModel &model)
{
    QList<QList<int>> sets;
    QMap<PersonId, int> setOf;
    for (int i = 0; i < model.mustTogether.size(); ++i) {
        const QList<PersonId> members = rosterMembers(model, model.mustTogether.at(i));
        if (members.size() < 2)
            continue;
        // Every set already holding one of the members joins the first of them.
        int target = -1;
        for (PersonId id : members) {
            const int found = setOf.value(id, -1);
            if (found < 0 || found == target)
                continue;
            if (target < 0) {
                target = found;
                continue;
            }
            const int from = std::max(target, found);
            target = std::min(target, found);
            sets[target] += sets.at(from);
            sets[from].clear();
            for (auto it = setOf.begin(); it != setOf.end(); ++it) {
                if (it.value() == from)
                    it.value() = target;
            }
        }
        if (target < 0) {
            target = int(sets.size());
            sets.append(QList<int>());
        }
        sets[target].append(i);
        for (PersonId id : members)
            setOf.insert(id, target);
    }
    // Merged-away sets are empty; removeIf, since comparing against an empty
    // list passes memcmp a null pointer.
    sets.removeIf([](const QList<int> &set) { return set.isEmpty(); });
    for (QList<int> &set : sets)
        std::sort(set.begin(), set.end());
    return sets;
}

QList<RequirementResult> RequirementCheck::ofKind(RequirementKind kind) const
{
    QList<RequirementResult> selected;
    for (const RequirementResult &result : results) {
        if (result.kind == kind)
            selected.append(result);
    }
    return selected;
}

bool RequirementCheck::allMet(RequirementKind kind) const
{
    for (const RequirementResult &result : results) {
        if (result.kind == kind && !result.met)
            return false;
    }
    return true;
}

RequirementCheck checkRequirements(const ClassModel &model, const Grouping &groups)
{
    RequirementCheck check;
    const Seating seating(model, groups);

    QList<QList<PersonId>> together;
    for (int i = 0; i < model.mustTogether.size(); ++i) {
        together.append(rosterMembers(model, model.mustTogether.at(i)));
        check.results.append(judgeTogether(together.last(), seating, i));
    }

    // Linked requirements can only be met in one group: no pair among them.
    QList<int> link(together.size(), -1);
    const QList<QList<int>> linked = linkedTogetherRequirements(model);
    for (int set = 0; set < linked.size(); ++set) {
        for (int i : linked.at(set))
            link[i] = set;
    }
    for (int i = 0; i < together.size(); ++i) {
        if (link.at(i) < 0)
            continue;
        const int first = seating.groupOf(together.at(i).first());
        for (int j = i + 1; j < together.size(); ++j) {
            if (link.at(j) < 0 || link.at(i) == link.at(j))
                continue;
            RequirementResult result;
            result.kind = RequirementKind::TogetherGroupsApart;
            result.requirement = i;
            result.otherRequirement = j;
            result.persons = {together.at(i).first(), together.at(j).first()};
            result.met = seating.groupOf(together.at(j).first()) != first;
            result.group = result.met ? -1 : first;
            check.results.append(result);
        }
    }

    for (int i = 0; i < model.mustSeparate.size(); ++i)
        check.results.append(judgeSeparate(rosterMembers(model, model.mustSeparate.at(i)), seating, i));

    for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend(); ++it) {
        if (model.isOnRoster(it.key()))
            check.results.append(judgePin(model, groups, seating, it.key(), it.value()));
    }

    RequirementResult seated;
    seated.kind = RequirementKind::Seated;
    for (PersonId id = 1; id <= model.personCount(); ++id) {
        if (!seating.isSeated(id))
            seated.persons.append(id);
    }
    seated.met = seated.persons.isEmpty();
    check.results.append(seated);

    const Marks marks(model);
    auto isLeader = [&marks](PersonId id) {
        return id > 0 && size_t(id) < marks.leader.size() && marks.leader[size_t(id)];
    };
    auto isBoarder = [&marks](PersonId id) {
        return id > 0 && size_t(id) < marks.boarder.size() && marks.boarder[size_t(id)];
    };
    const QList<int> enabled = model.enabledGroupIndexes();
    for (int p = 0; p < groups.size(); ++p) {
        const PersonnelCounts counts = countWith(model, groups.at(p), isLeader, isBoarder);
        check.groups.append(counts);
        if (p >= enabled.size())
            continue; // a grouping older than the group records
        const GroupConfig &config = model.groupConfigs.at(enabled.at(p));
        check.results.append(targetResult(RequirementKind::BoysTarget, p, counts.boys, std::max(0, config.males)));
        check.results.append(targetResult(RequirementKind::GirlsTarget, p, counts.girls, std::max(0, config.females)));
        RequirementResult leaders = targetResult(RequirementKind::Leaders, p, counts.leaders, 1);
        for (PersonId id : groups.at(p)) {
            if (isLeader(id))
                leaders.persons.append(id);
        }
        check.results.append(leaders);
    }
    return check;
}
