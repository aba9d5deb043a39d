// Keeping last time's groupmates apart: the trades on hand-made groups, and
// over many random classes and seeds that the step changes nothing else.
#include "common/enginefixtures.h"

#include "common/testenvironment.h"
#include "core/engine/engine.h"
#include "core/engine/freshgroupmates.h"
#include "core/engine/workingstate.h"
#include "core/rules/requirementcheck.h"

#include <QTest>

using namespace Fixtures;

namespace {

struct Run
{
    Grouping groups;
    QStringList lines;
};

Run run(const ClassModel &model, quint32 seed, const Grouping &previous = {})
{
    Run result;
    result.groups = Engine::buildGroups(
        model, [&result](const QString &line) { result.lines.append(line); }, seedSequence(seed), previous);
    return result;
}

ClassModel withSwitch(ClassModel model, bool on)
{
    model.avoidLastGroupmates = on;
    return model;
}

// Of every seated person: boy, leader and boarder marks; a group's sorted list
// of these is what the specified steps fixed.
QList<QList<int>> kindsByGroup(const ClassModel &model, const Grouping &groups)
{
    QList<QList<int>> kinds;
    for (const Group &group : groups) {
        QList<int> marks;
        for (PersonId id : group)
            marks.append((model.isBoy(id) ? 4 : 0) | (model.isLeader(id) ? 2 : 0) | (model.isBoarder(id) ? 1 : 0));
        std::sort(marks.begin(), marks.end());
        kinds.append(marks);
    }
    return kinds;
}

QList<bool> verdicts(const ClassModel &model, const Grouping &groups)
{
    QList<bool> met;
    for (const RequirementResult &result : checkRequirements(model, groups).results)
        met.append(result.met);
    return met;
}

// Compares the run with the step against the run without it, for one class,
// seed and previous grouping; returns the first difference in words.
QString differenceFromPlainRun(const ClassModel &model, quint32 seed, const Grouping &previous)
{
    const Run plain = run(withSwitch(model, false), seed);
    const Run ignored = run(withSwitch(model, false), seed, previous);
    if (ignored.groups != plain.groups || ignored.lines != plain.lines)
        return QStringLiteral("switched off, the previous grouping changed the run");
    const Run fresh = run(withSwitch(model, true), seed, previous);
    if (plain.groups.isEmpty())
        return fresh.groups.isEmpty() && fresh.lines == plain.lines ? QString() : QStringLiteral("no groups");

    const int before = FreshGroupmates::repeatedPairs(plain.groups, previous);
    const int after = FreshGroupmates::repeatedPairs(fresh.groups, previous);
    if (after > before)
        return QStringLiteral("repeated pairs rose from %1 to %2").arg(before).arg(after);
    QStringList expected = plain.lines;
    const qsizetype verification = expected.indexOf(QStringLiteral("开始最终验证..."));
    expected.insert(verification, QStringLiteral("与上次同组的学生对: %1 → %2").arg(before).arg(after));
    expected.insert(verification, QStringLiteral("调整组员，尽量避免与上次同组..."));
    if (fresh.lines != expected)
        return QStringLiteral("the log differs beyond the two lines of the step");
    if (kindsByGroup(model, fresh.groups) != kindsByGroup(model, plain.groups))
        return QStringLiteral("a group's sizes, genders, leaders or boarders changed");
    if (verdicts(model, fresh.groups) != verdicts(model, plain.groups))
        return QStringLiteral("a requirement, pin, target or leader verdict changed");
    for (int p = 0; p < plain.groups.size(); ++p) {
        for (int i = 0; i < plain.groups.at(p).size(); ++i) {
            const PersonId id = plain.groups.at(p).at(i);
            bool locked = model.fixedPositions.contains(id);
            for (const Constraint &members : model.mustTogether + model.mustSeparate)
                locked = locked || members.contains(id);
            if (locked && fresh.groups.at(p).at(i) != id)
                return QStringLiteral("%1 moved though pinned or in a requirement").arg(model.nameOf(id));
        }
    }
    const Run again = run(withSwitch(model, true), seed, previous);
    if (again.groups != fresh.groups)
        return QStringLiteral("the same seed gave another grouping");
    return QString();
}

} // namespace

class TestFreshGroupmates : public QObject
{
    Q_OBJECT

private slots:
    void repeatedPairs_data();
    void repeatedPairs();
    void trades_data();
    void trades();
    void property_demoClassWeekAfterWeek();
    void property_randomClassesChangeNothingElse();
};

void TestFreshGroupmates::repeatedPairs_data()
{
    QTest::addColumn<Grouping>("current");
    QTest::addColumn<Grouping>("previous");
    QTest::addColumn<int>("pairs");
    QTest::newRow("nothing before") << Grouping{{1, 2, 3}} << Grouping{} << 0;
    QTest::newRow("the same groups") << Grouping{{1, 2, 3}, {4, 5}} << Grouping{{1, 2, 3}, {4, 5}} << 4;
    QTest::newRow("all mixed") << Grouping{{1, 3}, {2, 4}} << Grouping{{1, 2}, {3, 4}} << 0;
    QTest::newRow("empty seats and repeats ignored") << Grouping{{1, 0, 2, 2}, {0}} << Grouping{{0, 1, 2, 0}} << 1;
    QTest::newRow("newcomers make no pairs") << Grouping{{1, 2, 7, 8}} << Grouping{{1, 2}} << 1;
}

void TestFreshGroupmates::repeatedPairs()
{
    QFETCH(Grouping, current);
    QFETCH(Grouping, previous);
    QFETCH(int, pairs);
    QCOMPARE(FreshGroupmates::repeatedPairs(current, previous), pairs);
}

void TestFreshGroupmates::trades_data()
{
    // Boys b1..bN are 1..N, girls follow; every group is a seat list.
    QTest::addColumn<int>("boys");
    QTest::addColumn<int>("girls");
    QTest::addColumn<QStringList>("leaders");
    QTest::addColumn<QStringList>("boarders");
    QTest::addColumn<QList<int>>("pinned");
    QTest::addColumn<Constraint>("together");
    QTest::addColumn<Grouping>("groups");
    QTest::addColumn<Grouping>("previous");
    QTest::addColumn<QString>("outcome");

    const QStringList none;
    const Grouping sameFour{{1, 2}, {3, 4}};
    QTest::newRow("boys trade groups") << 4 << 0 << none << none << QList<int>{} << Constraint{} << sameFour
                                       << sameFour << "2 → 0";
    QTest::newRow("a boy never trades with a girl")
        << 2 << 2 << none << none << QList<int>{} << Constraint{} << sameFour << sameFour << "2 → 2";
    QTest::newRow("leaders trade only with leaders")
        << 4 << 0 << QStringList{"b1", "b2"} << none << QList<int>{} << Constraint{} << sameFour << sameFour
        << "2 → 2";
    QTest::newRow("two leaders trade") << 4 << 0 << QStringList{"b1", "b3"} << none << QList<int>{} << Constraint{}
                                       << sameFour << sameFour << "2 → 0";
    QTest::newRow("boarders trade only with boarders")
        << 4 << 0 << none << QStringList{"b3", "b4"} << QList<int>{} << Constraint{} << sameFour << sameFour
        << "2 → 2";
    QTest::newRow("pinned students stay") << 4 << 0 << none << none << QList<int>{3, 4} << Constraint{} << sameFour
                                          << sameFour << "2 → 2";
    QTest::newRow("one pin leaves a trade") << 4 << 0 << none << none << QList<int>{1} << Constraint{} << sameFour
                                            << sameFour << "2 → 0";
    QTest::newRow("requirement members stay") << 4 << 0 << none << none << QList<int>{} << Constraint{3, 4}
                                              << sameFour << sameFour << "2 → 2";
    QTest::newRow("two groups of three keep one pair each")
        << 6 << 0 << none << none << QList<int>{} << Constraint{} << Grouping{{1, 2, 3, 0}, {4, 5, 6, 0}}
        << Grouping{{1, 2, 3}, {4, 5, 6}} << "6 → 2";
    QTest::newRow("a newcomer takes a place") << 4 << 0 << none << none << QList<int>{} << Constraint{} << sameFour
                                              << Grouping{{1, 2}} << "1 → 0";
}

void TestFreshGroupmates::trades()
{
    QFETCH(int, boys);
    QFETCH(int, girls);
    QFETCH(QStringList, leaders);
    QFETCH(QStringList, boarders);
    QFETCH(QList<int>, pinned);
    QFETCH(Constraint, together);
    QFETCH(Grouping, groups);
    QFETCH(Grouping, previous);
    QFETCH(QString, outcome);

    ClassModel model = makeClass(names(QStringLiteral("b"), boys), names(QStringLiteral("g"), girls));
    model.leaderNames = QSet<QString>(leaders.begin(), leaders.end());
    model.boarderNames = QSet<QString>(boarders.begin(), boarders.end());
    for (int id : pinned)
        model.fixedPositions.insert(id, FixedPosition{1, 1});
    if (!together.isEmpty())
        model.mustTogether.append(together);
    LogCapture log;
    WorkingState state(model, log.sink(), seedSequence(7));
    state.generator.seed(7);
    state.groups = groups;

    FreshGroupmates::reduceRepeatedPairs(state, previous);

    QCOMPARE(log.lines, QStringList({"调整组员，尽量避免与上次同组...", "与上次同组的学生对: " + outcome}));
    QCOMPARE(FreshGroupmates::repeatedPairs(state.groups, previous), outcome.section(u' ', -1).toInt());
    for (int p = 0; p < groups.size(); ++p) {
        for (int i = 0; i < groups.at(p).size(); ++i) {
            const PersonId id = groups.at(p).at(i);
            const bool locked = pinned.contains(id) || together.contains(id);
            if (locked || id == 0)
                QCOMPARE(state.groups.at(p).at(i), id);
            else
                QCOMPARE(state.groups.at(p).at(i) <= boys, id <= boys);
        }
    }
}

void TestFreshGroupmates::property_demoClassWeekAfterWeek()
{
    const ClassModel demo = loadDemoClass();
    Grouping lastWeek = run(demo, 99).groups;
    for (quint32 week = 0; week < 40; ++week) {
        const QString difference = differenceFromPlainRun(demo, week, lastWeek);
        QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("week %1: %2").arg(week).arg(difference)));
        lastWeek = run(withSwitch(demo, true), week, lastWeek).groups;
    }
}

void TestFreshGroupmates::property_randomClassesChangeNothingElse()
{
    std::mt19937 random(2024);
    for (int round = 0; round < 400; ++round) {
        const ClassModel model = anyClass(random);
        const quint32 seed = random();
        // Last time: another run of the class, or any grouping of numbers.
        Grouping previous = run(model, random()).groups;
        if (round % 3 == 0) {
            previous = Grouping(1 + int(random() % 6));
            for (int n = model.personCount() + 5; n > 0; --n)
                previous[int(random() % quint32(previous.size()))].append(PersonId(random() % 40));
        }
        const QString difference = differenceFromPlainRun(model, seed, previous);
        QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("round %1: %2").arg(round).arg(difference)));
    }
}

QTEST_GUILESS_MAIN(TestFreshGroupmates)
#include "test_freshgroupmates.moc"
