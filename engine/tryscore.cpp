#include "engine/tryscore.h"

#include "engine/workingstate.h"

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

TryScore scoreTry(const WorkingState &state, const RequirementVerdict &verdict)
{
    TryScore score;
    score.unmetRequirements = int(verdict.unmet.size());
    int fewestBoarders = 0;
    int mostBoarders = 0;
    for (int p = 0; p < state.groups.size(); ++p) {
        int leaders = 0;
        int boarders = 0;
        int boys = 0;
        int girls = 0;
        for (PersonId id : state.groups.at(p)) {
            if (!state.isOnRoster(id))
                continue;
            leaders += state.isLeader(id) ? 1 : 0;
            boarders += state.isBoarder(id) ? 1 : 0;
            ++(state.isBoy(id) ? boys : girls);
        }
        if (leaders != 1)
            ++score.leaderProblems;
        const GroupConfig &config = state.model.groupConfigs.at(state.enabled.at(p));
        if (boys != config.males || girls != config.females)
            ++score.genderMisses;
        fewestBoarders = p == 0 ? boarders : std::min(fewestBoarders, boarders);
        mostBoarders = std::max(mostBoarders, boarders);
    }
    score.boarderImbalance = mostBoarders - fewestBoarders;
    return score;
}
