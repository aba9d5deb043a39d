// What the constraint solver adds to "生成分组", on classes that can be
// arranged (the generator's and harder ones) and on classes with a planted
// conflict. Run by hand:
//   measure_solver [classes] [tries] [unsolvable classes]
#include "common/solvableclass.h"

#include "core/engine/arrangementsolver.h"
#include "core/engine/generation.h"
#include "core/engine/solverstep.h"
#include "core/rules/settingscheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <memory>
#include <vector>

namespace {

using ArrangementSolver::Setting;
using ArrangementSolver::SettingKind;

struct Figures
{
    std::vector<double> milliseconds;
    std::vector<int> moved;
};

void printSpread(const char *what, std::vector<double> values, const char *unit)
{
    if (values.empty()) {
        std::printf("  %s: none\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    std::printf("  %s: median %.1f, p95 %.1f, max %.1f %s (%zu)\n", what, values[values.size() / 2],
                values[std::min(values.size() - 1, values.size() * 95 / 100)], values.back(), unit, values.size());
}

void measureSolvable(const char *title, Solvable::SolvableClass (*make)(std::mt19937 &), int classes, int tries)
{
    int unmetBefore = 0;
    int unmetAfter = 0;
    int undecided = 0;
    Figures figures;
    for (int c = 0; c < classes; ++c) {
        std::mt19937 random(quint32(c) + 1);
        const Solvable::SolvableClass made = make(random);
        Engine::GenerationOptions options;
        options.tries = tries;
        auto next = std::make_shared<quint32>(quint32(c) * 7919u + 1u);
        options.trySeeds = [next] { return (*next)++; };
        const Engine::GenerationResult without = Engine::generate(made.model, LogSink(), options);
        unmetBefore += without.verdict.allMet() ? 0 : 1;
        *next = quint32(c) * 7919u + 1u;
        options.useSolver = true;
        QElapsedTimer clock;
        clock.start();
        const Engine::GenerationResult with = Engine::generate(made.model, LogSink(), options);
        const double total = double(clock.nsecsElapsed()) / 1e6;
        unmetAfter += with.verdict.allMet() ? 0 : 1;
        if (with.solver.used()) {
            // The solver's share: the whole call less the same tries without it.
            QElapsedTimer again;
            *next = quint32(c) * 7919u + 1u;
            options.useSolver = false;
            again.start();
            Engine::generate(made.model, LogSink(), options);
            figures.milliseconds.push_back(std::max(0.0, total - double(again.nsecsElapsed()) / 1e6));
            figures.moved.push_back(with.solver.moved);
            undecided += with.solver.outcome == Engine::SolverReport::Outcome::Undecided ? 1 : 0;
        }
    }
    std::printf("\n%s: %d classes, %d tries each\n", title, classes, tries);
    std::printf("  classes with an unmet requirement: without the solver %.1f%% (%d), with it %.1f%% (%d); budget ran out %d\n",
                100.0 * unmetBefore / classes, unmetBefore, 100.0 * unmetAfter / classes, unmetAfter, undecided);
    printSpread("solver time per class it ran on", figures.milliseconds, "ms");
    std::vector<double> moved(figures.moved.begin(), figures.moved.end());
    printSpread("students moved", moved, "");
}

// A conflict planted into a class that can be arranged, and the settings it is made of.
struct Planted
{
    const char *kind;
    ClassModel model;
    QList<Setting> settings;
};

Planted plant(int kind, std::mt19937 &random)
{
    Solvable::SolvableClass made = Solvable::makeClass(random);
    ClassModel &m = made.model;
    m.fixedPositions.clear();
    const Grouping &a = made.arrangement;
    const QList<int> enabled = m.enabledGroupIndexes();
    const int groups = int(a.size());
    Planted planted{"", m, {}};
    ClassModel &p = planted.model;
    const auto addTogether = [&p, &planted](const Constraint &members) {
        p.mustTogether.append(members);
        planted.settings.append({SettingKind::MustTogether, int(p.mustTogether.size()) - 1});
    };
    const auto addApart = [&p, &planted](const Constraint &members) {
        p.mustSeparate.append(members);
        planted.settings.append({SettingKind::MustSeparate, int(p.mustSeparate.size()) - 1});
    };
    const auto pin = [&p, &planted, &enabled](PersonId id, int position, int seat) {
        p.fixedPositions.insert(id, FixedPosition{enabled.at(position) + 1, seat + 1});
        planted.settings.append({SettingKind::FixedPosition, id});
    };
    switch (kind) {
    case 0: // the same two students together and apart
        planted.kind = "together and apart (pre-check)";
        addTogether({a[0][0], a[1][0]});
        addApart({a[0][0], a[1][0]});
        break;
    case 1: { // apart with one student more than there are groups
        planted.kind = "apart over every group (pre-check)";
        Constraint members;
        for (int g = 0; g < groups; ++g)
            members.append(a[g][0]);
        members.append(a[0][1]);
        addApart(members);
        break;
    }
    case 2: // a together pair pinned to two groups
        planted.kind = "together pinned apart (pre-check)";
        addTogether({a[0][0], a[1][0]});
        pin(a[0][0], 0, 0);
        pin(a[1][0], 1, 0);
        break;
    case 3: // pinned, together with one who must not sit with another pinned to the same group
        planted.kind = "pin-together-apart-pin chain";
        pin(a[0][0], 0, 0);
        addTogether({a[0][0], a[1][1]});
        addApart({a[1][1], a[2][0]});
        pin(a[2][0], 0, 1);
        break;
    default: { // a together set pinned into a group whose other seats are pinned
        planted.kind = "together set over a pinned group";
        const Group &g0 = a[0];
        pin(g0[0], 0, 0);
        QList<PersonId> others;
        for (int g = 1; g < groups && others.size() < g0.size() - 1; ++g) {
            for (PersonId id : a[g]) {
                if (others.size() < g0.size() - 1)
                    others.append(id);
            }
        }
        for (int s = 1; s < g0.size(); ++s)
            pin(others.at(s - 1), 0, s);
        addTogether({g0[0], a[groups - 1].last()});
        break;
    }
    }
    return planted;
}

void measureUnsolvable(int classes)
{
    struct Row
    {
        int classes = 0, precheck = 0, proved = 0, exact = 0, minimal = 0;
        long coreSize = 0, plantedSize = 0;
        std::vector<double> milliseconds;
    };
    std::map<std::string, Row> rows;
    for (int c = 0; c < classes; ++c) {
        std::mt19937 random(quint32(c) + 100000u);
        const Planted planted = plant(c % 5, random);
        Row &row = rows[planted.kind];
        ++row.classes;
        row.precheck += Engine::provesHardConflict(checkSettings(planted.model)) ? 1 : 0;
        QElapsedTimer clock;
        clock.start();
        const ArrangementSolver::Conflict conflict =
            ArrangementSolver::findConflict(planted.model, ArrangementSolver::budgetFor(planted.model));
        row.milliseconds.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (conflict.status != ArrangementSolver::Status::Infeasible)
            continue;
        ++row.proved;
        row.minimal += conflict.minimal ? 1 : 0;
        row.coreSize += conflict.settings.size();
        row.plantedSize += planted.settings.size();
        QList<Setting> sorted = planted.settings;
        bool same = sorted.size() == conflict.settings.size();
        for (const Setting &s : sorted)
            same = same && conflict.settings.contains(s);
        row.exact += same ? 1 : 0;
    }
    std::printf("\nUnsolvable classes with a planted conflict: %d\n", classes);
    for (const auto &[kind, row] : rows) {
        std::printf("  %-36s %3d classes: pre-check proves %d, solver proves %d within budget, core = planted %d, "
                    "minimal %d, mean core %.2f vs planted %.2f\n",
                    kind.c_str(), row.classes, row.precheck, row.proved, row.exact, row.minimal,
                    row.proved ? double(row.coreSize) / row.proved : 0.0,
                    row.proved ? double(row.plantedSize) / row.proved : 0.0);
        printSpread("    time to the core", row.milliseconds, "ms");
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    const int classes = args.size() > 1 ? args.at(1).toInt() : 500;
    const int tries = args.size() > 2 ? args.at(2).toInt() : 20;
    const int unsolvable = args.size() > 3 ? args.at(3).toInt() : 100;
    measureSolvable("Solvable classes", Solvable::makeClass, classes, tries);
    measureSolvable("Harder classes (90% of seats in requirements, pins inside them)", Solvable::makeHarderClass,
                    classes, tries);
    measureUnsolvable(unsolvable);
    return 0;
}
