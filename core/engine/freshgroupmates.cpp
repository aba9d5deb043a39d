#include "core/engine/freshgroupmates.h"

#include "core/engine/workingstate.h"

#include <QHash>
#include <QSet>

#include <vector>

namespace FreshGroupmates {
namespace {

// Every trade lowers the count, so the passes end on their own; the bound
// only caps the work on a class of thousands.
constexpr int kMaxPasses = 50;
// Gender, leader mark and boarder mark: students of one kind are interchangeable.
constexpr int kKinds = 8;

int pairsAmong(int count)
{
    return count * (count - 1) / 2;
}

} // namespace

int repeatedPairs(const Grouping &current, const Grouping &previous)
{
    QHash<PersonId, int> earlier;
    for (int p = 0; p < previous.size(); ++p) {
        for (PersonId id : previous.at(p)) {
            if (id != 0 && !earlier.contains(id))
                earlier.insert(id, p);
        }
    }
    int pairs = 0;
    QSet<PersonId> seen;
    for (const Group &group : current) {
        QHash<int, int> together;
        for (PersonId id : group) {
            if (id == 0 || seen.contains(id) || !earlier.contains(id))
                continue;
            seen.insert(id);
            ++together[earlier.value(id)];
        }
        for (int count : std::as_const(together))
            pairs += pairsAmong(count);
    }
    return pairs;
}

void reduceRepeatedPairs(WorkingState &state, const Grouping &previous)
{
    state.say(QStringLiteral("调整组员，尽量避免与上次同组..."));
    const int persons = state.personCount();
    const int groupCount = int(state.groups.size());
    // Last time's group of each student; students who were not there share
    // the extra label `none`, which makes no pairs.
    const int none = int(previous.size());
    const int labels = none + 1;
    std::vector<int> label(size_t(persons + 1), none);
    for (int p = 0; p < previous.size(); ++p) {
        for (PersonId id : previous.at(p)) {
            if (state.isOnRoster(id) && label[size_t(id)] == none)
                label[size_t(id)] = p;
        }
    }

    PersonFlags locked(persons + 1);
    for (auto it = state.model.fixedPositions.cbegin(); it != state.model.fixedPositions.cend(); ++it)
        locked.insert(it.key());
    for (const QList<Constraint> *requirements : {&state.model.mustTogether, &state.model.mustSeparate}) {
        for (const Constraint &members : *requirements) {
            for (PersonId id : members)
                locked.insert(id);
        }
    }
    const auto kindOf = [&state](PersonId id) {
        return (state.isBoy(id) ? 4 : 0) | (state.isLeader(id) ? 2 : 0) | (state.isBoarder(id) ? 1 : 0);
    };

    // count[g * labels + k]: students of group g who sat in group k last time.
    std::vector<int> count(size_t(groupCount * labels), 0);
    std::vector<std::pair<int, int>> seatOf(size_t(persons + 1), {-1, -1});
    // The movable students of one group, kind and label, in seat order.
    std::vector<QList<PersonId>> movable(size_t(groupCount * kKinds * labels));
    const auto bucket = [&](int group, int kind, int k) -> QList<PersonId> & {
        return movable[size_t((group * kKinds + kind) * labels + k)];
    };
    QList<PersonId> order;
    for (int g = 0; g < groupCount; ++g) {
        const Group &seats = state.groups.at(g);
        for (int s = 0; s < seats.size(); ++s) {
            const PersonId id = seats.at(s);
            if (!state.isOnRoster(id) || seatOf[size_t(id)].first >= 0)
                continue;
            seatOf[size_t(id)] = {g, s};
            ++count[size_t(g * labels + label[size_t(id)])];
            if (locked.contains(id))
                continue;
            bucket(g, kindOf(id), label[size_t(id)]).append(id);
            if (label[size_t(id)] != none)
                order.append(id);
        }
    }
    const auto partners = [&](int group, int k) { return k == none ? 0 : count[size_t(group * labels + k)]; };
    int pairs = 0;
    for (int g = 0; g < groupCount; ++g) {
        for (int k = 0; k < none; ++k)
            pairs += pairsAmong(partners(g, k));
    }
    const int before = pairs;

    shuffleList(order, state.generator);
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        bool traded = false;
        for (PersonId x : std::as_const(order)) {
            const auto [from, fromSeat] = seatOf[size_t(x)];
            const int own = label[size_t(x)];
            const int lost = partners(from, own) - 1;
            if (lost <= 0)
                continue;
            const int kind = kindOf(x);
            // The best trade for x: the change in pairs if x moves to group
            // `to` and a student of its kind with label k comes back.
            int best = 0;
            int bestGroup = -1;
            int bestLabel = -1;
            for (int to = 0; to < groupCount; ++to) {
                if (to == from)
                    continue;
                for (int k = 0; k < labels; ++k) {
                    if (k == own || bucket(to, kind, k).isEmpty())
                        continue;
                    const int otherLost = k == none ? 0 : partners(to, k) - 1;
                    const int change = partners(to, own) + partners(from, k) - lost - otherLost;
                    if (change < best) {
                        best = change;
                        bestGroup = to;
                        bestLabel = k;
                    }
                }
            }
            if (bestGroup < 0)
                continue;

            const PersonId y = bucket(bestGroup, kind, bestLabel).takeFirst();
            const int toSeat = seatOf[size_t(y)].second;
            state.groups[from][fromSeat] = y;
            state.groups[bestGroup][toSeat] = x;
            seatOf[size_t(x)] = {bestGroup, toSeat};
            seatOf[size_t(y)] = {from, fromSeat};
            bucket(from, kind, own).removeOne(x);
            bucket(bestGroup, kind, own).append(x);
            bucket(from, kind, bestLabel).append(y);
            --count[size_t(from * labels + own)];
            ++count[size_t(bestGroup * labels + own)];
            --count[size_t(bestGroup * labels + bestLabel)];
            ++count[size_t(from * labels + bestLabel)];
            pairs += best;
            traded = true;
        }
        if (!traded)
            break;
    }
    state.say(QStringLiteral("与上次同组的学生对: %1 → %2").arg(before).arg(pairs));
}

} // namespace FreshGroupmates
