// Hand-edited numbers at the ends of int: the engine treats them like any
// other impossible value, with no arithmetic that can overflow (the sanitizer
// build turns any overflow into a failure).
#include "common/enginefixtures.h"

#include "core/engine/engine.h"

#include <QRegularExpression>
#include <QTest>

#include <climits>

using namespace Fixtures;

namespace {

struct Run
{
    Grouping groups;
    QStringList lines;
};

Run run(const ClassModel &model)
{
    Run result;
    LogCapture log;
    result.groups = Engine::buildGroups(model, log.sink(), CountingSeeds(7).source());
    result.lines = log.lines;
    return result;
}

// Two groups of four; boy b1 pinned to group 1, seat 2, and girl g1 (4) to
// group 1, seat 3, so that group 1 holds one of each before the quotas.
ClassModel pinnedClass()
{
    ClassModel model = makeClass(names(QStringLiteral("b"), 3), names(QStringLiteral("g"), 4));
    enableGroup(model, 1, 4, 2, 2);
    enableGroup(model, 2, 4, 2, 2);
    model.fixedPositions.insert(1, FixedPosition{1, 2});
    model.fixedPositions.insert(4, FixedPosition{1, 3});
    return model;
}

enum Field { Males, Females, PinGroup, PinSeat, PersonNumber };

void setField(ClassModel &model, Field field, int value)
{
    switch (field) {
    case Males:
        model.groupConfigs[0].males = value;
        break;
    case Females:
        model.groupConfigs[0].females = value;
        break;
    case PinGroup:
        model.fixedPositions[1].group = value;
        break;
    case PinSeat:
        model.fixedPositions[1].seat = value;
        break;
    case PersonNumber:
        model.fixedPositions.insert(value, FixedPosition{2, 1});
        model.mustTogether = {{value, 2}};
        model.mustSeparate = {{3, value}};
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Field)

class TestHostileValues : public QObject
{
    Q_OBJECT

private slots:
    void extremeNumbersOverflowNothing_data();
    void extremeNumbersOverflowNothing();
    void emptyLeaderNameMarksNobody();
};

void TestHostileValues::extremeNumbersOverflowNothing_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<int>("extreme");
    // A modest value the engine already handles the same way.
    QTest::addColumn<int>("equivalent");

    QTest::newRow("girls' target at the int minimum") << Females << INT_MIN << -1;
    QTest::newRow("boys' target at the int minimum") << Males << INT_MIN << -1;
    QTest::newRow("girls' target at the int maximum") << Females << INT_MAX << 1000;
    QTest::newRow("pinned group at the int minimum") << PinGroup << INT_MIN << -7;
    QTest::newRow("pinned group at the int maximum") << PinGroup << INT_MAX << 11;
    QTest::newRow("pinned seat at the int minimum") << PinSeat << INT_MIN << -7;
    QTest::newRow("pinned seat at the int maximum") << PinSeat << INT_MAX << 9;
    QTest::newRow("person number at the int minimum") << PersonNumber << INT_MIN << -7;
    QTest::newRow("person number at the int maximum") << PersonNumber << INT_MAX << 99;
}

void TestHostileValues::extremeNumbersOverflowNothing()
{
    QFETCH(Field, field);
    QFETCH(int, extreme);
    QFETCH(int, equivalent);
    ClassModel hostile = pinnedClass();
    setField(hostile, field, extreme);
    ClassModel modest = pinnedClass();
    setField(modest, field, equivalent);

    const Run expected = run(modest);
    const Run actual = run(hostile);
    QCOMPARE(actual.groups, expected.groups);
    // The same account, each line naming the number as it was given.
    QStringList lines = actual.lines;
    lines.replaceInStrings(QString::number(extreme), QString::number(equivalent));
    QCOMPARE(lines, expected.lines);
}

void TestHostileValues::emptyLeaderNameMarksNobody()
{
    // A hand-edited roster and leader list that both hold an empty name.
    ClassModel model = makeClass({QString(), QStringLiteral("b2")}, names(QStringLiteral("g"), 2));
    model.leaderNames = {QString()};
    enableGroup(model, 1, 4, 2, 2);
    const Run result = run(model);
    // Nothing treats the empty name as a leader, so step 16's warning stands alone.
    QVERIFY(result.lines.contains(QStringLiteral("⚠ 组长分配警告: 组1 没有组长")));
    const QRegularExpression asLeader(QStringLiteral("^(组长 .*已被分配|分配组长 |组\\d+ 已有组长)"));
    for (const QString &line : result.lines)
        QVERIFY2(!asLeader.match(line).hasMatch(), qPrintable(line));
}

QTEST_GUILESS_MAIN(TestHostileValues)
#include "test_hostilevalues.moc"
