#include "engine/requirementverdict.h"

#include <algorithm>

namespace {

// Whether some arrangement can seat the person at the pin: the fixed-position
// step places pins group by group, the lower person number first on a seat.
bool pinCanBeKept(const ClassModel &model, PersonId person, const FixedPosition &pin)
{
    const int position = model.positionOfGroupNumber(pin.group);
    if (position < 0 || pin.seat < 1 || pin.seat > model.groupConfigs.at(pin.group - 1).total)
        return false;
    for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend() && it.key() < person; ++it) {
        if (model.isOnRoster(it.key()) && it.value() == pin)
            return false;
    }
    return true;
}

bool isRequirement(RequirementKind kind)
{
    return kind == RequirementKind::MustTogether || kind == RequirementKind::TogetherGroupsApart
           || kind == RequirementKind::MustSeparate || kind == RequirementKind::FixedPosition;
}

} // namespace

int RequirementVerdict::count(RequirementKind kind) const
{
    return int(std::count_if(unmet.cbegin(), unmet.cend(),
                             [kind](const RequirementResult &result) { return result.kind == kind; }));
}

RequirementVerdict judgeRequirements(const ClassModel &model, const Grouping &groups)
{
    RequirementVerdict verdict;
    verdict.check = checkRequirements(model, groups);
    for (const RequirementResult &result : std::as_const(verdict.check.results)) {
        if (result.met || !isRequirement(result.kind))
            continue;
        if (result.kind == RequirementKind::FixedPosition
            && !pinCanBeKept(model, result.persons.first(), model.fixedPositions.value(result.persons.first())))
            continue;
        verdict.unmet.append(result);
    }
    return verdict;
}
