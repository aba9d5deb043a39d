#include "core/engine/filling.h"

#include "core/engine/workingstate.h"

namespace Filling {
namespace {

struct Pool
{
    QList<PersonId> persons;
    qsizetype next = 0;

    bool isEmpty() const { return next >= persons.size(); }
    PersonId take() { return persons.at(next++); }
    qsizetype remaining() const { return persons.size() - next; }
};

void seatPerson(WorkingState &state, int position, int seat, PersonId id, const QString &message)
{
    state.groups[position][seat] = id;
    state.unassigned.remove(id);
    if (state.isHeard())
        state.say(message.arg(state.nameOf(id), QString::number(state.groupNumber(position)),
                              QString::number(seat + 1)));
}

void fillQuota(WorkingState &state, Pool &pool, bool boys, const QString &message)
{
    // 必须同组 groups take part too: their members count towards the quota,
    // and the rest of it is filled like anywhere else.
    for (int p = 0; p < state.groups.size() && !pool.isEmpty(); ++p) {
        const GroupConfig &config = state.model.groupConfigs.at(state.enabled.at(p));
        int present = 0;
        for (PersonId id : std::as_const(state.groups.at(p))) {
            if (id != 0 && state.isBoy(id) == boys)
                ++present;
        }
        // Targets are whatever the caller set; 64 bits keep any int target minus
        // a head count exact.
        const qint64 need = qint64(boys ? config.males : config.females) - present;
        for (qint64 i = 0; i < need && !pool.isEmpty(); ++i) {
            const int seat = state.lowestEmptySeat(p);
            if (seat < 0)
                break;
            seatPerson(state, p, seat, pool.take(), message);
        }
    }
}

void sweepRemaining(WorkingState &state, Pool &pool, const QString &message, const QString &shortage)
{
    while (!pool.isEmpty()) {
        bool seatedAny = false;
        for (int p = 0; p < state.groups.size() && !pool.isEmpty(); ++p) {
            const int seat = state.lowestEmptySeat(p);
            if (seat < 0)
                continue;
            seatPerson(state, p, seat, pool.take(), message);
            seatedAny = true;
        }
        if (!seatedAny)
            break;
    }
    if (!pool.isEmpty())
        state.say(shortage);
}

} // namespace

void fillSeats(WorkingState &state)
{
    Pool boys;
    Pool girls;
    for (PersonId id = 1; id <= state.personCount(); ++id) {
        if (state.unassigned.contains(id))
            (state.isBoy(id) ? boys : girls).persons.append(id);
    }
    shuffleList(boys.persons, state.generator);
    shuffleList(girls.persons, state.generator);

    fillQuota(state, girls, false, QStringLiteral("分配女生 %1 到组%2座位%3"));
    fillQuota(state, boys, true, QStringLiteral("分配男生 %1 到组%2座位%3"));
    sweepRemaining(state, girls, QStringLiteral("分配剩余女生 %1 到组%2座位%3"),
                   QStringLiteral("警告: 无法分配所有女生，可能座位不足"));
    sweepRemaining(state, boys, QStringLiteral("分配剩余男生 %1 到组%2座位%3"),
                   QStringLiteral("警告: 无法分配所有男生，可能座位不足"));
}

} // namespace Filling
