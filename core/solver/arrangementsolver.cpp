#include "core/engine/arrangementsolver.h"

#include "core/engine/requirementverdict.h"
#include "core/rules/requirementcheck.h"

#include <QElapsedTimer>

#include <gecode/int.hh>
#include <gecode/minimodel.hh>
#include <gecode/search.hh>

#include <algorithm>
#include <ctime>
#include <memory>
#include <numeric>
#include <vector>

namespace ArrangementSolver {

namespace {

using namespace Gecode;

// The class read once into plain numbers: persons 0..n-1 (person number - 1),
// groups by group position.
struct Problem
{
    explicit Problem(const ClassModel &model);

    int persons = 0;
    int seats = 0;
    std::vector<int> capacity, males, females;
    std::vector<bool> boy, leader, boarder;
    QList<QList<int>> together; // by requirement index, distinct roster members
    QList<QList<int>> apart;
    // Pins that can be kept: person -> (group position, seat index). Of two
    // pins on one seat the lower person number keeps it, as the fixed-seat
    // step seats them.
    QMap<int, QPair<int, int>> pins;

    // Every setting that can take part in a conflict, in the order shrinking
    // visits them and a conflict lists them.
    QList<Setting> settings() const;
};

Problem::Problem(const ClassModel &model)
{
    persons = model.personCount();
    const QList<int> enabled = model.enabledGroupIndexes();
    for (int index : enabled) {
        const GroupConfig &config = model.groupConfigs.at(index);
        capacity.push_back(std::max(0, config.total));
        males.push_back(std::max(0, config.males));
        females.push_back(std::max(0, config.females));
        seats += capacity.back();
    }
    for (PersonId id = 1; id <= persons; ++id) {
        boy.push_back(model.isBoy(id));
        leader.push_back(model.isLeader(id));
        boarder.push_back(model.isBoarder(id));
    }
    const auto members = [&model](const Constraint &requirement) {
        QList<int> list;
        for (PersonId id : rosterMembers(model, requirement))
            list.append(id - 1);
        return list;
    };
    for (const Constraint &requirement : model.mustTogether)
        together.append(members(requirement));
    for (const Constraint &requirement : model.mustSeparate)
        apart.append(members(requirement));
    QSet<QPair<int, int>> taken;
    for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend(); ++it) {
        const int group = it->group;
        const int position = group >= 1 && group <= kGroupCount ? int(enabled.indexOf(group - 1)) : -1;
        if (!model.isOnRoster(it.key()) || position < 0 || it->seat < 1 || it->seat > capacity[size_t(position)])
            continue;
        const QPair<int, int> seat{position, it->seat - 1};
        if (taken.contains(seat))
            continue;
        taken.insert(seat);
        pins.insert(it.key() - 1, seat);
    }
}

QList<Setting> Problem::settings() const
{
    QList<Setting> list;
    for (int r = 0; r < apart.size(); ++r) {
        if (apart.at(r).size() >= 2)
            list.append({SettingKind::MustSeparate, r});
    }
    for (int r = 0; r < together.size(); ++r) {
        if (together.at(r).size() >= 2)
            list.append({SettingKind::MustTogether, r});
    }
    for (auto it = pins.cbegin(); it != pins.cend(); ++it)
        list.append({SettingKind::FixedPosition, it.key() + 1});
    return list;
}

// 必须同组 requirements that share a student, among the active ones: the
// index of each set's first requirement for every requirement, -1 when inactive.
std::vector<int> linkTogether(const Problem &problem, const QList<Setting> &active)
{
    std::vector<int> root(size_t(problem.together.size()), -1);
    for (const Setting &setting : active) {
        if (setting.kind == SettingKind::MustTogether)
            root[size_t(setting.index)] = setting.index;
    }
    const auto find = [&root](int r) {
        while (root[size_t(r)] != r)
            r = root[size_t(r)];
        return r;
    };
    for (int i = 0; i < problem.together.size(); ++i) {
        for (int j = i + 1; j < problem.together.size() && root[size_t(i)] >= 0; ++j) {
            if (root[size_t(j)] < 0)
                continue;
            const QList<int> &a = problem.together.at(i);
            const bool shared = std::any_of(a.cbegin(), a.cend(),
                                            [&](int p) { return problem.together.at(j).contains(p); });
            const int ri = find(i);
            const int rj = find(j);
            if (shared && ri != rj)
                root[size_t(std::max(ri, rj))] = std::min(ri, rj);
        }
    }
    for (size_t r = 0; r < root.size(); ++r) {
        if (root[r] >= 0)
            root[r] = find(int(r));
    }
    return root;
}

// One search space: a group position per person; with `optimise`, the soft
// aims as a lexicographic cost.
class SeatingSpace : public IntLexMinimizeSpace
{
public:
    SeatingSpace(const Problem &problem, const QList<Setting> &active, const std::vector<int> &start, bool optimise)
        : group(*this, problem.persons, 0, std::max(0, int(problem.capacity.size()) - 1))
    {
        const int groups = int(problem.capacity.size());
        IntArgs values(groups);
        IntSetArgs limits(groups);
        for (int g = 0; g < groups; ++g) {
            values[g] = g;
            limits[g] = IntSet(0, problem.capacity[size_t(g)]);
        }
        count(*this, group, limits, values, IPL_DOM);

        const std::vector<int> link = linkTogether(problem, active);
        QList<int> setFirsts;
        for (const Setting &setting : active) {
            switch (setting.kind) {
            case SettingKind::MustTogether: {
                const QList<int> &members = problem.together.at(setting.index);
                for (int k = 1; k < members.size(); ++k)
                    rel(*this, group[members.first()], IRT_EQ, group[members.at(k)]);
                if (link[size_t(setting.index)] == setting.index)
                    setFirsts.append(members.first());
                break;
            }
            case SettingKind::MustSeparate: {
                IntVarArgs members;
                for (int p : problem.apart.at(setting.index))
                    members << group[p];
                distinct(*this, members, IPL_DOM);
                break;
            }
            case SettingKind::FixedPosition:
                rel(*this, group[setting.index - 1], IRT_EQ, problem.pins.value(setting.index - 1).first);
                break;
            }
        }
        // Different 必须同组 requirements sit in different groups.
        if (setFirsts.size() > 1) {
            IntVarArgs firsts;
            for (int p : std::as_const(setFirsts))
                firsts << group[p];
            distinct(*this, firsts, IPL_DOM);
        }

        if (optimise)
            postAims(problem, start);

        // The settings' students first, each tried in its start group first.
        std::vector<int> order;
        std::vector<bool> constrained(size_t(problem.persons), false);
        for (const Setting &setting : active) {
            const QList<int> members = setting.kind == SettingKind::MustTogether ? problem.together.at(setting.index)
                                       : setting.kind == SettingKind::MustSeparate
                                           ? problem.apart.at(setting.index)
                                           : QList<int>{setting.index - 1};
            for (int p : members) {
                if (!constrained[size_t(p)])
                    order.push_back(p);
                constrained[size_t(p)] = true;
            }
        }
        for (int p = 0; p < problem.persons; ++p) {
            if (!constrained[size_t(p)])
                order.push_back(p);
        }
        if (start.empty()) {
            // Nothing to stay close to: fail first, and learn from failures
            // across the restarts.
            branch(*this, group, INT_VAR_AFC_SIZE_MAX(0.99), INT_VAL_MIN());
            return;
        }
        auto preferred = std::make_shared<std::vector<int>>();
        IntVarArgs branching;
        for (int p : order) {
            branching << group[p];
            preferred->push_back(start[size_t(p)]);
        }
        branch(*this, branching, INT_VAR_NONE(),
               INT_VAL([preferred](const Space &, IntVar x, int i) {
                   const int wanted = preferred->at(size_t(i));
                   return wanted >= 0 && x.in(wanted) ? wanted : x.min();
               }));
    }

    SeatingSpace(SeatingSpace &other) : IntLexMinimizeSpace(other)
    {
        group.update(*this, other.group);
        aims.update(*this, other.aims);
    }

    Space *copy() override { return new SeatingSpace(*this); }
    IntVarArgs cost() const override { return aims; }

    std::vector<int> groups() const
    {
        std::vector<int> result;
        for (int p = 0; p < group.size(); ++p)
            result.push_back(group[p].val());
        return result;
    }

    IntVarArray group;
    IntVarArray aims;

private:
    // How many of `who` sit in group g, per group.
    IntVarArgs countsPerGroup(const Problem &problem, const std::vector<bool> &who)
    {
        IntVarArgs members;
        for (int p = 0; p < problem.persons; ++p) {
            if (who[size_t(p)])
                members << group[p];
        }
        IntVarArgs counts;
        for (size_t g = 0; g < problem.capacity.size(); ++g) {
            IntVar c(*this, 0, problem.capacity[g]);
            count(*this, members, int(g), IRT_EQ, c);
            counts << c;
        }
        return counts;
    }

    void postAims(const Problem &problem, const std::vector<int> &start)
    {
        std::vector<bool> girl(problem.boy.size());
        std::transform(problem.boy.cbegin(), problem.boy.cend(), girl.begin(), [](bool b) { return !b; });
        const IntVarArgs boys = countsPerGroup(problem, problem.boy);
        const IntVarArgs girls = countsPerGroup(problem, girl);
        IntVarArgs misses;
        for (size_t g = 0; g < problem.capacity.size(); ++g) {
            misses << expr(*this, abs(boys[int(g)] - problem.males[g]));
            misses << expr(*this, abs(girls[int(g)] - problem.females[g]));
        }
        const IntVarArgs leaders = countsPerGroup(problem, problem.leader);
        BoolVarArgs leaderless;
        for (int g = 0; g < leaders.size(); ++g)
            leaderless << expr(*this, leaders[g] != 1);
        const IntVarArgs boarders = countsPerGroup(problem, problem.boarder);
        const IntVar spread = expr(*this, max(boarders) - min(boarders));
        BoolVarArgs moved;
        for (int p = 0; p < problem.persons; ++p)
            moved << expr(*this, group[p] != start[size_t(p)]);
        IntVarArgs list;
        list << expr(*this, sum(misses)) << expr(*this, sum(leaderless)) << expr(*this, max(spread - 1, 0))
             << expr(*this, sum(moved));
        aims = IntVarArray(*this, list);
    }
};

// Stops on the node count; the processor time spent only guards against a
// machine far slower than the limit was set for (processor time, not the
// clock, so that a busy machine does not cut the search short).
class BudgetStop : public Search::Stop
{
public:
    BudgetStop(quint64 nodes, qint64 milliseconds)
        : m_nodes(nodes), m_limit(std::clock() + std::clock_t(milliseconds * (CLOCKS_PER_SEC / 1000)))
    {
    }
    bool stop(const Search::Statistics &statistics, const Search::Options &) override
    {
        return statistics.node > m_nodes || std::clock() > m_limit;
    }

private:
    quint64 m_nodes;
    std::clock_t m_limit;
};

Search::Options searchOptions(BudgetStop *stop)
{
    Search::Options options;
    options.threads = 1; // one thread: the same search every time
    options.stop = stop;
    return options;
}

// Person -> (group position, seat index), (-1, -1) without a seat.
std::vector<QPair<int, int>> seatsOf(const Problem &problem, const Grouping &groups)
{
    std::vector<QPair<int, int>> where(size_t(problem.persons), {-1, -1});
    for (int g = 0; g < groups.size(); ++g) {
        for (int s = 0; s < groups.at(g).size(); ++s) {
            const PersonId id = groups.at(g).at(s);
            if (id >= 1 && id <= problem.persons)
                where[size_t(id - 1)] = {g, s};
        }
    }
    return where;
}

// Seats for the solver's groups: pins at their seats, everyone who stays in
// a group at the seat they had where it is free, the others in the lowest
// free seats by person number.
Grouping seatGroups(const Problem &problem, const std::vector<int> &groupOf,
                    const std::vector<QPair<int, int>> &startSeat)
{
    Grouping groups;
    for (int capacity : problem.capacity)
        groups.append(::Group(capacity, 0));
    std::vector<bool> seated(size_t(problem.persons), false);
    for (auto it = problem.pins.cbegin(); it != problem.pins.cend(); ++it) {
        if (groupOf[size_t(it.key())] == it->first) {
            groups[it->first][it->second] = it.key() + 1;
            seated[size_t(it.key())] = true;
        }
    }
    for (int p = 0; p < problem.persons; ++p) {
        const QPair<int, int> seat = startSeat[size_t(p)];
        if (seated[size_t(p)] || seat.first != groupOf[size_t(p)] || seat.second >= groups.at(seat.first).size()
            || groups.at(seat.first).at(seat.second) != 0)
            continue;
        groups[seat.first][seat.second] = p + 1;
        seated[size_t(p)] = true;
    }
    for (int p = 0; p < problem.persons; ++p) {
        if (seated[size_t(p)])
            continue;
        ::Group &group = groups[groupOf[size_t(p)]];
        group[group.indexOf(0)] = p + 1;
    }
    return groups;
}

} // namespace

Arrangement solve(const ClassModel &model, const Grouping &start, const Budget &budget)
{
    Arrangement result;
    const Problem problem(model);
    if (problem.capacity.empty() || problem.seats < problem.persons)
        return result;
    if (judgeRequirements(model, start).allMet() && checkRequirements(model, start).allMet(RequirementKind::Seated)) {
        result.status = Status::Solved;
        result.groups = start;
        return result;
    }
    const std::vector<QPair<int, int>> startSeat = seatsOf(problem, start);
    std::vector<int> startGroup;
    for (const QPair<int, int> &seat : startSeat)
        startGroup.push_back(seat.first);

    auto space = std::make_unique<SeatingSpace>(problem, problem.settings(), startGroup, true);
    if (space->status() == SS_FAILED) {
        result.status = Status::Infeasible;
        return result;
    }
    BudgetStop stop(budget.nodes, budget.milliseconds);
    BAB<SeatingSpace> search(space.get(), searchOptions(&stop));
    std::unique_ptr<SeatingSpace> best;
    while (SeatingSpace *solution = search.next())
        best.reset(solution);
    if (!best) {
        result.status = search.stopped() ? Status::Undecided : Status::Infeasible;
        return result;
    }
    result.status = Status::Solved;
    result.groups = seatGroups(problem, best->groups(), startSeat);
    const std::vector<QPair<int, int>> finalSeat = seatsOf(problem, result.groups);
    for (size_t p = 0; p < finalSeat.size(); ++p)
        result.moved += finalSeat[p] != startSeat[p] ? 1 : 0;
    return result;
}

Conflict findConflict(const ClassModel &model, const Budget &budget)
{
    Conflict conflict;
    const Problem problem(model);
    if (problem.capacity.empty() || problem.seats < problem.persons)
        return conflict;
    QElapsedTimer clock;
    clock.start();
    QList<Setting> active = problem.settings();
    quint64 nodesLeft = budget.nodes;
    // Each decision may use what the earlier ones left of the budget.
    const auto decideWithin = [&](const QList<Setting> &settings) {
        const qint64 millisecondsLeft = budget.milliseconds - clock.elapsed();
        if (nodesLeft == 0 || millisecondsLeft <= 0)
            return Status::Undecided;
        BudgetStop stop(nodesLeft, millisecondsLeft);
        auto space = std::make_unique<SeatingSpace>(problem, settings, std::vector<int>{}, false);
        if (space->status() == SS_FAILED)
            return Status::Infeasible;
        Search::Options options = searchOptions(&stop);
        options.cutoff = Search::Cutoff::luby(64);
        RBS<SeatingSpace, DFS> search(space.get(), options);
        const std::unique_ptr<SeatingSpace> solution{search.next()};
        const quint64 used = search.statistics().node;
        nodesLeft = used >= nodesLeft ? 0 : nodesLeft - used;
        if (solution)
            return Status::Solved;
        return search.stopped() ? Status::Undecided : Status::Infeasible;
    };
    conflict.status = decideWithin(active);
    if (conflict.status != Status::Infeasible)
        return conflict;
    conflict.minimal = true;
    for (qsizetype i = 0; i < active.size();) {
        QList<Setting> without = active;
        without.removeAt(i);
        const Status status = decideWithin(without);
        if (status == Status::Infeasible) {
            active = without;
            continue;
        }
        conflict.minimal = conflict.minimal && status == Status::Solved;
        ++i;
    }
    conflict.settings = active;
    return conflict;
}

} // namespace ArrangementSolver
