#include "engine/requirementverdict.h"

#include <QSet>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

using Kind = UnmetRequirement::Kind;

// Distinct roster members of a requirement, in order.
Constraint rosterMembers(const ClassModel &model, const Constraint &requirement)
{
    Constraint members;
    for (PersonId id : requirement) {
        if (model.isOnRoster(id) && !members.contains(id))
            members.append(id);
    }
    return members;
}

// Ascending, "no seat" (0) last.
QList<int> sortedNumbers(QSet<int> numbers)
{
    QList<int> list(numbers.begin(), numbers.end());
    std::sort(list.begin(), list.end(), [](int a, int b) { return (a == 0 ? INT_MAX : a) < (b == 0 ? INT_MAX : b); });
    return list;
}

void judgeTogether(const ClassModel &model, const std::vector<int> &position, const QList<int> &enabled,
                   RequirementVerdict &verdict)
{
    auto numberOf = [&](PersonId id) { return position[size_t(id)] < 0 ? 0 : enabled.at(position[size_t(id)]) + 1; };
    QList<Constraint> memberLists;
    for (int r = 0; r < model.mustTogether.size(); ++r) {
        const Constraint members = rosterMembers(model, model.mustTogether.at(r));
        memberLists.append(members);
        if (members.size() < 2)
            continue;
        QSet<int> numbers;
        for (PersonId id : members)
            numbers.insert(numberOf(id));
        if (numbers.size() > 1 || numbers.contains(0))
            verdict.unmet.append({Kind::Together, r, -1, members, sortedNumbers(numbers)});
    }
    // Requirements that share a member can only be met in one group.
    auto share = [&memberLists](int i, int j) {
        return std::any_of(memberLists.at(i).cbegin(), memberLists.at(i).cend(),
                           [&](PersonId id) { return memberLists.at(j).contains(id); });
    };
    for (int i = 0; i < memberLists.size(); ++i) {
        if (memberLists.at(i).size() < 2 || position[size_t(memberLists.at(i).first())] < 0)
            continue;
        const PersonId first = memberLists.at(i).first();
        for (int j = i + 1; j < memberLists.size(); ++j) {
            if (memberLists.at(j).size() < 2 || share(i, j))
                continue;
            const PersonId other = memberLists.at(j).first();
            if (position[size_t(other)] == position[size_t(first)])
                verdict.unmet.append({Kind::SharedGroup, i, j, {first, other}, {numberOf(first)}});
        }
    }
}

void judgeApart(const ClassModel &model, const std::vector<int> &position, const QList<int> &enabled,
                RequirementVerdict &verdict)
{
    for (int r = 0; r < model.mustSeparate.size(); ++r) {
        const Constraint members = rosterMembers(model, model.mustSeparate.at(r));
        QList<PersonId> clashing;
        QSet<int> numbers;
        for (PersonId id : members) {
            const int p = position[size_t(id)];
            if (p < 0)
                continue;
            for (PersonId other : members) {
                if (other != id && position[size_t(other)] == p) {
                    clashing.append(id);
                    numbers.insert(enabled.at(p) + 1);
                    break;
                }
            }
        }
        if (!clashing.isEmpty())
            verdict.unmet.append({Kind::Apart, r, -1, clashing, sortedNumbers(numbers)});
    }
}

void judgePins(const ClassModel &model, const Grouping &groups, const std::vector<int> &position,
               const QList<int> &enabled, RequirementVerdict &verdict)
{
    QSet<QPair<int, int>> taken; // (group number, seat) of a pin already counted
    // Within one group the lower person number wins a seat, as when placing.
    for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend(); ++it) {
        const PersonId id = it.key();
        const int p = int(enabled.indexOf(it->group - 1));
        if (!model.isOnRoster(id) || it->group < 1 || p < 0 || p >= groups.size() || it->seat < 1
            || it->seat > groups.at(p).size() || taken.contains({it->group, it->seat}))
            continue;
        taken.insert({it->group, it->seat});
        if (groups.at(p).at(it->seat - 1) == id)
            continue;
        const int at = position[size_t(id)];
        verdict.unmet.append({Kind::Pin, -1, -1, {id}, {at < 0 ? 0 : enabled.at(at) + 1}});
    }
}

} // namespace

int RequirementVerdict::count(UnmetRequirement::Kind kind) const
{
    return int(std::count_if(unmet.cbegin(), unmet.cend(),
                             [kind](const UnmetRequirement &item) { return item.kind == kind; }));
}

RequirementVerdict judgeRequirements(const ClassModel &model, const Grouping &groups)
{
    std::vector<int> position(size_t(model.personCount() + 1), -1);
    for (int p = 0; p < groups.size(); ++p) {
        for (PersonId id : groups.at(p)) {
            if (model.isOnRoster(id))
                position[size_t(id)] = p;
        }
    }
    const QList<int> enabled = model.enabledGroupIndexes();
    RequirementVerdict verdict;
    judgeTogether(model, position, enabled, verdict);
    judgeApart(model, position, enabled, verdict);
    judgePins(model, groups, position, enabled, verdict);
    return verdict;
}
