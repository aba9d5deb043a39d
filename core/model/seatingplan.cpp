#include "core/model/seatingplan.h"

#include <algorithm>

namespace {

// The seats a group of a new seat table offers, like the results table's six member columns.
constexpr int kBlankGroupSeats = 6;

} // namespace

SeatingPlan seatingPlanOf(const ClassModel &model, const QString &date)
{
    SeatingPlan plan;
    plan.date = date;
    const QList<int> enabled = model.enabledGroupIndexes();
    const bool matchesRecords = model.generatedGroups.size() == enabled.size();
    for (int position = 0; position < model.generatedGroups.size(); ++position) {
        const Group &members = model.generatedGroups.at(position);
        PlanGroup group;
        int seatCount = kBlankGroupSeats;
        if (matchesRecords) {
            group.number = enabled.at(position) + 1;
            seatCount = model.groupConfigs.at(enabled.at(position)).total;
        } else {
            group.number = position + 1;
        }
        seatCount = std::max(seatCount, int(members.size()));
        for (int seat = 0; seat < seatCount; ++seat) {
            PlanSeat planSeat;
            if (seat < members.size()) {
                const PersonId id = members.at(seat);
                planSeat.name = model.nameOf(id);
                planSeat.leader = model.isLeader(id);
                planSeat.boarder = model.isBoarder(id);
            }
            group.seats.append(planSeat);
        }
        plan.groups.append(group);
    }
    return plan;
}
