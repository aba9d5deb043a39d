#include "core/engine/solverstep.h"

#include "core/engine/solverlibrary.h"
#include "core/engine/verification.h"
#include "core/engine/workingstate.h"
#include "core/rules/settingscheck.h"

#include <QElapsedTimer>

#include <algorithm>

namespace Engine {

namespace {

QString line(const QString &text)
{
    return QStringLiteral("约束求解: ") + text;
}

QString conflictSentence(const ClassModel &model, const QList<ArrangementSolver::Setting> &settings)
{
    return QStringLiteral("以下设置无法同时满足: ") + ArrangementSolver::describe(model, settings);
}

// The persons a conflict names, in its order, each once.
QList<PersonId> conflictPersons(const ClassModel &model, const QList<ArrangementSolver::Setting> &settings)
{
    QList<PersonId> persons;
    for (const ArrangementSolver::Setting &setting : settings) {
        QList<PersonId> named{setting.index};
        if (setting.kind == ArrangementSolver::SettingKind::MustTogether)
            named = rosterMembers(model, model.mustTogether.value(setting.index));
        else if (setting.kind == ArrangementSolver::SettingKind::MustSeparate)
            named = rosterMembers(model, model.mustSeparate.value(setting.index));
        for (PersonId id : std::as_const(named)) {
            if (!persons.contains(id))
                persons.append(id);
        }
    }
    return persons;
}

} // namespace

bool provesHardConflict(const QList<Finding> &findings)
{
    return std::any_of(findings.cbegin(), findings.cend(), [](const Finding &finding) {
        switch (finding.kind) {
        case FindingKind::SeatsShort:
        case FindingKind::TogetherTooLarge:
        case FindingKind::SeparateTooLarge:
        case FindingKind::TogetherAndSeparate:
        case FindingKind::PinnedTogetherApart:
        case FindingKind::PinnedSeparateTogether:
            return finding.severity == FindingSeverity::WillFail;
        default:
            return false;
        }
    });
}

SolverCompletion completeWithSolver(const ClassModel &model, const Grouping &seats, const LogSink &log)
{
    SolverCompletion completion;
    SolverReport &report = completion.report;
    const auto say = [&log](const QString &text) {
        if (log)
            log(text);
    };
    if (provesHardConflict(checkSettings(model))) {
        report.outcome = SolverReport::Outcome::SettingsConflict;
        say(line(QStringLiteral("设置中有无法同时满足的要求（见“检查设置”），保留最好的一次尝试")));
        return completion;
    }

    if (!SolverLibrary::calls()) {
        // A damaged install: the generation goes on as if the search had run out of time.
        report.outcome = SolverReport::Outcome::Undecided;
        say(line(QStringLiteral("找不到约束求解器 libquorvane-solver.so（请重新安装 Quorvane），保留最好的一次尝试")));
        return completion;
    }
    QElapsedTimer clock;
    clock.start();
    const ArrangementSolver::Budget budget = ArrangementSolver::budgetFor(model);
    const ArrangementSolver::Arrangement arrangement = SolverLibrary::solve(model, seats, budget);
    switch (arrangement.status) {
    case ArrangementSolver::Status::Solved: {
        report.outcome = SolverReport::Outcome::Solved;
        report.moved = arrangement.moved;
        say(line(QStringLiteral("调整 %1 名学生后满足全部要求").arg(arrangement.moved)));
        WorkingState state(model, log, [] { return 0u; });
        state.enabled = model.enabledGroupIndexes();
        state.groups = arrangement.groups;
        completion.verdict = Verification::verify(state);
        completion.score = scoreTry(completion.verdict);
        completion.groups = Verification::compact(state);
        break;
    }
    case ArrangementSolver::Status::Infeasible: {
        const ArrangementSolver::Budget rest{budget.nodes,
                                             std::max(1, budget.milliseconds - int(clock.elapsed()))};
        const ArrangementSolver::Conflict conflict = SolverLibrary::findConflict(model, rest);
        report.outcome = SolverReport::Outcome::Infeasible;
        report.conflict = conflict.settings;
        if (conflict.status == ArrangementSolver::Status::Infeasible && !conflict.settings.isEmpty())
            say(line(conflictSentence(model, conflict.settings)));
        say(line(QStringLiteral("没有满足全部要求的分组，保留最好的一次尝试")));
        break;
    }
    case ArrangementSolver::Status::Undecided:
        report.outcome = SolverReport::Outcome::Undecided;
        say(line(QStringLiteral("在时限内未找到满足全部要求的分组，保留最好的一次尝试")));
        break;
    }
    return completion;
}

QList<Finding> solverFindings(const ClassModel &model, const QList<Finding> &arithmetic)
{
    if (model.enabledGroupIndexes().isEmpty() || provesHardConflict(arithmetic))
        return {};
    const ArrangementSolver::Conflict conflict =
        SolverLibrary::findConflict(model, ArrangementSolver::budgetFor(model));
    Finding finding;
    if (conflict.status == ArrangementSolver::Status::Infeasible) {
        finding.kind = FindingKind::SettingsConflict;
        finding.severity = FindingSeverity::WillFail;
        finding.sentence = conflictSentence(model, conflict.settings);
        finding.remedy = QStringLiteral("删除或修改其中一项");
        finding.persons = conflictPersons(model, conflict.settings);
    } else if (conflict.status == ArrangementSolver::Status::Undecided) {
        finding.kind = FindingKind::SettingsUndecided;
        finding.severity = FindingSeverity::MayFail;
        finding.sentence = QStringLiteral("在时限内未能确定全部要求和固定位置能否同时满足，它们可能无法同时满足");
        finding.remedy = QStringLiteral("减少要求或固定位置后再检查");
    } else {
        return {};
    }
    return {finding};
}

QList<Finding> checkSettingsWithSolver(const ClassModel &model)
{
    QList<Finding> findings = checkSettings(model);
    findings += solverFindings(model, findings);
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding &a, const Finding &b) { return a.severity < b.severity; });
    return findings;
}

} // namespace Engine
