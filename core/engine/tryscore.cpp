#include "core/engine/tryscore.h"

#include <QSet>

#include <algorithm>
#include <tuple>

namespace {

auto rankKey(const TryScore &score)
{
    return std::tie(score.unmetRequirements, score.leaderProblems, score.genderMisses, score.boarderImbalance,
                    score.repeatedPairs);
}

} // namespace

bool TryScore::isBetterThan(const TryScore &other) const
{
    return rankKey(*this) < rankKey(other);
}

bool TryScore::isFlawless() const
{
    return unmetRequirements == 0 && leaderProblems == 0 && genderMisses == 0 && boarderImbalance <= 1;
}

TryScore scoreTry(const RequirementVerdict &verdict)
{
    TryScore score;
    score.unmetRequirements = int(verdict.unmet.size());
    QSet<int> offTarget;
    for (const RequirementResult &result : verdict.check.results) {
        if (result.met)
            continue;
        if (result.kind == RequirementKind::Leaders)
            ++score.leaderProblems;
        else if (result.kind == RequirementKind::BoysTarget || result.kind == RequirementKind::GirlsTarget)
            offTarget.insert(result.group);
    }
    score.genderMisses = int(offTarget.size());
    const QList<PersonnelCounts> &groups = verdict.check.groups;
    if (!groups.isEmpty()) {
        const auto [fewest, most] = std::minmax_element(
            groups.cbegin(), groups.cend(),
            [](const PersonnelCounts &a, const PersonnelCounts &b) { return a.boarders < b.boarders; });
        score.boarderImbalance = most->boarders - fewest->boarders;
    }
    return score;
}
