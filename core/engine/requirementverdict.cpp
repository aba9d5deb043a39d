#include "core/engine/requirementverdict.h"

#include <algorithm>

namespace {

// Whether the pin could be kept in this arrangement at all: its group takes
// part and has the seat, and the seat does not hold another person pinned to
// it (of two pins on one seat only one can be kept; which one the fixed-seat
// steps leave there is theirs to decide).
bool pinCanBeKept(const ClassModel &model, const Grouping &groups, const FixedPosition &pin)
{
    // A hand-edited group may be any int: compared before 1 is subtracted.
    if (pin.group < 1 || pin.group > kGroupCount || pin.seat < 1)
        return false;
    const int position = model.positionOfGroupNumber(pin.group);
    if (position < 0 || position >= groups.size() || pin.seat > model.groupConfigs.at(pin.group - 1).total
        || pin.seat > groups.at(position).size())
        return false;
    const PersonId holder = groups.at(position).at(pin.seat - 1);
    return !(model.isOnRoster(holder) && model.fixedPositions.value(holder, FixedPosition{0, 0}) == pin);
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
            && !pinCanBeKept(model, groups, model.fixedPositions.value(result.persons.first())))
            continue;
        verdict.unmet.append(result);
    }
    return verdict;
}
