// The constraint solver: completing a try, naming a conflict, and its place in "生成分组".
#include "common/enginefixtures.h"
#include "common/solvableclass.h"

#include "core/engine/arrangementsolver.h"
#include "core/engine/engine.h"
#include "core/engine/generation.h"
#include "core/engine/solverstep.h"
#include "core/storage/arrangementrecord.h"
#include "core/rules/requirementcheck.h"
#include "core/rules/settingscheck.h"

#include <QTest>

using namespace Fixtures;
using ArrangementSolver::Setting;
using ArrangementSolver::SettingKind;
using ArrangementSolver::Status;

Q_DECLARE_METATYPE(ClassModel)
Q_DECLARE_METATYPE(QList<ArrangementSolver::Setting>)

namespace {

// Two groups of three: b1 b2 b3 / g1 g2 g3 with targets that the roster meets.
ClassModel twoGroups()
{
    ClassModel model = makeClass({QStringLiteral("王浩然"), QStringLiteral("李子轩"), QStringLiteral("b3")},
                                 {QStringLiteral("g1"), QStringLiteral("g2"), QStringLiteral("g3")});
    enableGroup(model, 1, 3, 2, 1);
    enableGroup(model, 3, 3, 1, 2);
    return model;
}

// The first seed whose single try leaves a requirement unmet, with that try.
Engine::RunOutcome missedTry(const ClassModel &model, quint32 &seed)
{
    for (seed = 1; seed < 500; ++seed) {
        Engine::RunOutcome outcome = Engine::runOnce(model, LogSink(), seedSequence(seed));
        if (!outcome.verdict.allMet())
            return outcome;
    }
    return {};
}

// Every hard constraint: seats as configured, each roster member once, every
// requirement and keepable pin met.
void verifyHard(const ClassModel &model, const Grouping &groups)
{
    const QList<int> enabled = model.enabledGroupIndexes();
    QCOMPARE(groups.size(), enabled.size());
    QList<PersonId> seen;
    for (int p = 0; p < groups.size(); ++p) {
        QCOMPARE(groups.at(p).size(), qsizetype(model.groupConfigs.at(enabled.at(p)).total));
        for (PersonId id : groups.at(p)) {
            if (id == 0)
                continue;
            QVERIFY2(!seen.contains(id), qPrintable(model.nameOf(id)));
            seen.append(id);
        }
    }
    QCOMPARE(seen.size(), qsizetype(model.personCount()));
    const RequirementVerdict verdict = judgeRequirements(model, groups);
    QVERIFY2(verdict.allMet(), qPrintable(QString::number(verdict.unmet.size())));
}

} // namespace

class TestArrangementSolver : public QObject
{
    Q_OBJECT

private slots:
    // Known answers
    void missedTryIsCompletedAndVerifiedAgain();
    void conflictIsExactlyThePlantedSettings_data();
    void conflictIsExactlyThePlantedSettings();
    void solvableSettingsHaveNoConflict();
    void arithmeticConflictIsNotSearched();

    // The setting
    void solverOffChangesNothing();
    void completeTryCallsNoSolver();

    // Properties
    void property_solvedArrangementKeepsEveryHardConstraint();
    void property_completeStartIsNeverMoved();
    void property_sameClassSameAnswer();
    void property_budgetIsRespected();
};

void TestArrangementSolver::missedTryIsCompletedAndVerifiedAgain()
{
    std::mt19937 random(11);
    const ClassModel model = Solvable::makeHarderClass(random).model;
    quint32 seed = 0;
    const Engine::RunOutcome missed = missedTry(model, seed);
    QVERIFY(!missed.verdict.allMet());

    Engine::GenerationOptions options;
    options.tries = 1;
    options.trySeeds = [seed] { return seed; };
    options.useSolver = true;
    LogCapture log;
    const Engine::GenerationResult result = Engine::generate(model, log.sink(), options);
    QVERIFY(result.verdict.allMet());
    QCOMPARE(result.solver.outcome, Engine::SolverReport::Outcome::Solved);
    QVERIFY(result.solver.moved > 0);
    const QString solved = QStringLiteral("约束求解: 调整 %1 名学生后满足全部要求").arg(result.solver.moved);
    QVERIFY(log.lines.contains(solved));
    // The try's lines, then the solver's, then the verification of the final arrangement.
    const qsizetype at = log.lines.indexOf(solved);
    QCOMPARE(log.lines.count(QStringLiteral("开始最终验证...")), 2);
    QVERIFY(log.lines.indexOf(QStringLiteral("开始最终验证..."), at) > at);
    QCOMPARE(log.lines.last(), QStringLiteral("分组完成"));
    for (qsizetype i = at; i < log.lines.size(); ++i)
        QVERIFY2(!log.lines.at(i).startsWith(u'✗'), qPrintable(log.lines.at(i)));
    QCOMPARE(log.lines, result.lines);

    // The history keeps that the solver completed this arrangement.
    ArrangementRecord record;
    noteSolver(record, result.solver);
    QCOMPARE(record.solverOutcome, QStringLiteral("solved"));
    QCOMPARE(record.solverMoved, result.solver.moved);
}

void TestArrangementSolver::conflictIsExactlyThePlantedSettings_data()
{
    QTest::addColumn<ClassModel>("model");
    QTest::addColumn<QList<Setting>>("planted");
    QTest::addColumn<QString>("text");

    // Extra settings that conflict with nothing stay out of every core.
    ClassModel base = twoGroups();
    base.mustTogether.append({6, 5});
    base.fixedPositions.insert(4, FixedPosition{3, 3});

    ClassModel pair = base;
    pair.mustSeparate.append({1, 2});
    pair.mustTogether.append({1, 2});
    QTest::newRow("together and apart") << pair
                                        << QList<Setting>{{SettingKind::MustSeparate, 0}, {SettingKind::MustTogether, 1}}
                                        << QStringLiteral("不能同组 王浩然, 李子轩 / 必须同组 王浩然, 李子轩");

    // Three pairwise apart over two groups: no single requirement shows it.
    ClassModel triangle = base;
    triangle.mustSeparate = {{1, 2}, {2, 3}, {1, 3}};
    QTest::newRow("apart triangle over two groups")
        << triangle
        << QList<Setting>{{SettingKind::MustSeparate, 0}, {SettingKind::MustSeparate, 1}, {SettingKind::MustSeparate, 2}}
        << QStringLiteral("不能同组 王浩然, 李子轩 / 不能同组 李子轩, b3 / 不能同组 王浩然, b3");

    // A pinned student, a partner who must join them, and a second pin in that group the partner must avoid.
    ClassModel chain = base;
    chain.fixedPositions.insert(1, FixedPosition{1, 1});
    chain.fixedPositions.insert(3, FixedPosition{1, 2});
    chain.mustSeparate.append({2, 3});
    chain.mustTogether.append({1, 2});
    QTest::newRow("pin, together, apart, pin")
        << chain
        << QList<Setting>{{SettingKind::MustSeparate, 0},
                          {SettingKind::MustTogether, 1},
                          {SettingKind::FixedPosition, 1},
                          {SettingKind::FixedPosition, 3}}
        << QStringLiteral("不能同组 李子轩, b3 / 必须同组 王浩然, 李子轩 / 固定位置 王浩然（组1座位1） / 固定位置 b3（组1座位2）");
}

void TestArrangementSolver::conflictIsExactlyThePlantedSettings()
{
    QFETCH(ClassModel, model);
    QFETCH(QList<Setting>, planted);
    QFETCH(QString, text);
    const ArrangementSolver::Conflict conflict = ArrangementSolver::findConflict(model, ArrangementSolver::budgetFor(model));
    QCOMPARE(conflict.status, Status::Infeasible);
    QVERIFY(conflict.minimal);
    QCOMPARE(conflict.settings, planted);
    QCOMPARE(ArrangementSolver::describe(model, conflict.settings), text);

    // The settings check names it as certain.
    const QList<Finding> findings = Engine::solverFindings(model, {});
    QCOMPARE(findings.size(), 1);
    QCOMPARE(findings.first().severity, FindingSeverity::WillFail);
    QCOMPARE(findings.first().sentence, QStringLiteral("以下设置无法同时满足: ") + text);
}

void TestArrangementSolver::solvableSettingsHaveNoConflict()
{
    std::mt19937 random(5);
    const ClassModel model = Solvable::makeHarderClass(random).model;
    QCOMPARE(ArrangementSolver::findConflict(model, ArrangementSolver::budgetFor(model)).status, Status::Solved);
    QVERIFY(Engine::solverFindings(model, {}).isEmpty());
}

void TestArrangementSolver::arithmeticConflictIsNotSearched()
{
    // Four apart over two groups: the settings check's arithmetic proves it.
    ClassModel model = twoGroups();
    model.mustSeparate.append({1, 2, 3, 4});
    const QList<Finding> arithmetic = checkSettings(model);
    QVERIFY(Engine::provesHardConflict(arithmetic));
    QVERIFY(Engine::solverFindings(model, arithmetic).isEmpty());

    LogCapture log;
    const Engine::SolverCompletion completion =
        Engine::completeWithSolver(model, Engine::runOnce(model, LogSink(), seedSequence(1)).seats, log.sink());
    QCOMPARE(completion.report.outcome, Engine::SolverReport::Outcome::SettingsConflict);
    QCOMPARE(log.lines,
             QStringList{QStringLiteral("约束求解: 设置中有无法同时满足的要求（见“检查设置”），保留最好的一次尝试")});
}

void TestArrangementSolver::solverOffChangesNothing()
{
    std::mt19937 random(11);
    const ClassModel model = Solvable::makeHarderClass(random).model;
    for (bool explicitOff : {false, true}) {
        Engine::GenerationOptions options;
        options.tries = 3;
        CountingSeeds seeds(40);
        options.trySeeds = seeds.source();
        if (explicitOff)
            options.useSolver = false;
        const Engine::GenerationResult result = Engine::generate(model, LogSink(), options);
        QVERIFY(!result.verdict.allMet());
        QVERIFY(!result.solver.used());
        ArrangementRecord record;
        noteSolver(record, result.solver);
        QVERIFY(record.solverOutcome.isEmpty());
        QVERIFY(!result.lines.join(u'\n').contains(QStringLiteral("约束求解")));
        QCOMPARE(result.groups, Engine::runOnce(model, LogSink(), seedSequence(40 + quint32(result.chosenTry) - 1)).groups);
    }
}

void TestArrangementSolver::completeTryCallsNoSolver()
{
    ClassModel model = twoGroups();
    model.leaderNames = {QStringLiteral("王浩然"), QStringLiteral("g3")};
    Engine::GenerationOptions options;
    options.tries = 5;
    options.trySeeds = CountingSeeds(1).source();
    options.useSolver = true;
    const Engine::GenerationResult result = Engine::generate(model, LogSink(), options);
    QVERIFY(result.verdict.allMet());
    QCOMPARE(result.solver.outcome, Engine::SolverReport::Outcome::NotRun);
}

void TestArrangementSolver::property_solvedArrangementKeepsEveryHardConstraint()
{
    int solved = 0;
    for (quint32 c = 1; c <= 40; ++c) {
        std::mt19937 random(c);
        const ClassModel model = (c % 2 ? Solvable::makeClass(random) : Solvable::makeHarderClass(random)).model;
        const Engine::RunOutcome start = Engine::runOnce(model, LogSink(), seedSequence(c));
        const ArrangementSolver::Arrangement arrangement =
            ArrangementSolver::solve(model, start.seats, ArrangementSolver::budgetFor(model));
        QCOMPARE(arrangement.status, Status::Solved);
        verifyHard(model, arrangement.groups);
        // Every pin sits at its seat, so a group's seat order is kept where it matters.
        for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend(); ++it) {
            const int p = model.positionOfGroupNumber(it->group);
            QCOMPARE(arrangement.groups.at(p).at(it->seat - 1), it.key());
        }
        solved += start.verdict.allMet() ? 0 : 1;
    }
    QVERIFY(solved >= 10); // most starts had something to mend
}

void TestArrangementSolver::property_completeStartIsNeverMoved()
{
    for (quint32 c = 1; c <= 30; ++c) {
        std::mt19937 random(c);
        const Solvable::SolvableClass made = Solvable::makeClass(random);
        // The generator's own arrangement keeps everything; pins sit where it put them.
        const ArrangementSolver::Arrangement arrangement =
            ArrangementSolver::solve(made.model, made.arrangement, ArrangementSolver::budgetFor(made.model));
        QCOMPARE(arrangement.status, Status::Solved);
        QCOMPARE(arrangement.moved, 0);
        QCOMPARE(arrangement.groups, made.arrangement);
    }
}

void TestArrangementSolver::property_sameClassSameAnswer()
{
    for (quint32 c = 1; c <= 10; ++c) {
        std::mt19937 random(c);
        const ClassModel model = Solvable::makeHarderClass(random).model;
        Engine::GenerationOptions options;
        options.tries = 2;
        options.useSolver = true;
        options.trySeeds = CountingSeeds(c).source();
        const Engine::GenerationResult first = Engine::generate(model, LogSink(), options);
        options.trySeeds = CountingSeeds(c).source();
        const Engine::GenerationResult second = Engine::generate(model, LogSink(), options);
        QCOMPARE(first.groups, second.groups);
        QCOMPARE(first.lines, second.lines);
    }
}

void TestArrangementSolver::property_budgetIsRespected()
{
    // A budget of a handful of nodes stops the search without a false claim.
    for (quint32 c = 1; c <= 20; ++c) {
        std::mt19937 random(c);
        const ClassModel model = Solvable::makeHarderClass(random).model;
        const Engine::RunOutcome start = Engine::runOnce(model, LogSink(), seedSequence(c));
        if (start.verdict.allMet())
            continue;
        const ArrangementSolver::Arrangement arrangement = ArrangementSolver::solve(model, start.seats, {3, 2000});
        QVERIFY(arrangement.status != Status::Infeasible);
        if (arrangement.status == Status::Solved)
            verifyHard(model, arrangement.groups);
        const ArrangementSolver::Conflict conflict = ArrangementSolver::findConflict(model, {1, 2000});
        QVERIFY(conflict.status != Status::Infeasible);
    }
}

QTEST_GUILESS_MAIN(TestArrangementSolver)
#include "test_arrangementsolver.moc"
