#include "engine/tryscore.h"

#include <algorithm>
#include <tuple>

namespace {

auto rankKey(const TryScore &score)
{
    return std::tie(score.unmetRequirements, score.leaderProblems, score.genderMisses, score.boarderImbalance);
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

TryScore scoreTry(const ClassModel &model, const Grouping &groups, const RequirementVerdict &verdict)
{
    TryScore score;
    score.unmetRequirements = int(verdict.unmet.size());
    const QList<int> enabled = model.enabledGroupIndexes();
    int fewestBoarders = 0;
    int mostBoarders = 0;
    for (int p = 0; p < groups.size() && p < enabled.size(); ++p) {
        int leaders = 0;
        int boarders = 0;
        int boys = 0;
        int girls = 0;
        for (PersonId id : groups.at(p)) {
            if (!model.isOnRoster(id))
                continue;
            leaders += model.isLeader(id) ? 1 : 0;
            boarders += model.isBoarder(id) ? 1 : 0;
            ++(model.isBoy(id) ? boys : girls);
        }
        if (leaders != 1)
            ++score.leaderProblems;
        const GroupConfig &config = model.groupConfigs.at(enabled.at(p));
        if (boys != config.males || girls != config.females)
            ++score.genderMisses;
        fewestBoarders = p == 0 ? boarders : std::min(fewestBoarders, boarders);
        mostBoarders = std::max(mostBoarders, boarders);
    }
    score.boarderImbalance = mostBoarders - fewestBoarders;
    return score;
}
