// Requirement input, requirement check and personnel report, without widgets.
#include "core/rules/constraintcheck.h"
#include "core/rules/constraintinput.h"
#include "core/rules/groupdetails.h"
#include "core/rules/personnelreport.h"
#include "core/rules/requirementcheck.h"

#include <QTest>

namespace {

// Boys 1-4, girls 5-8.
ClassModel makeClass()
{
    ClassModel model;
    model.maleNames = {QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五"), QStringLiteral("赵六")};
    model.femaleNames = {QStringLiteral("小红"), QStringLiteral("小兰"), QStringLiteral("小芳"), QStringLiteral("小丽")};
    model.rebuildNameMaps();
    return model;
}

} // namespace

class TestRequirementLogic : public QObject
{
    Q_OBJECT

private slots:
    // Input
    void parseInput_data();
    void parseInput();

    // Check
    void check_data();
    void check();
    void detailsAndCheckAgreeOnEmptyRequirement();
    void verdicts_data();
    void verdicts();
    void linkedSets_mergedAwaySetLeavesNoGap();

    // Personnel report
    void countsLeaderWhoBoardsInBothColumns();
    void totalsAreColumnSums();
    void reportHtmlIsExact();
};

void TestRequirementLogic::parseInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kindText");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("members");

    const QString together = QStringLiteral("必须同组");
    const QString separate = QStringLiteral("不能同组");
    const int t = int(ConstraintKind::MustTogether);
    const int s = int(ConstraintKind::MustSeparate);

    QTest::newRow("two names, together") << QStringLiteral("张三 小红") << together << QString() << t << QList<int>{1, 5};
    QTest::newRow("two names, separate") << QStringLiteral("张三 小红") << separate << QString() << s << QList<int>{1, 5};
    QTest::newRow("outer and repeated spaces")
        << QStringLiteral("  李四    小兰   王五 ") << together << QString() << t << QList<int>{2, 6, 3};
    QTest::newRow("only spaces") << QStringLiteral("     ") << together << QStringLiteral("请输入至少一个姓名") << t << QList<int>{};
    QTest::newRow("empty") << QString() << together << QStringLiteral("请输入至少一个姓名") << t << QList<int>{};
    QTest::newRow("single name") << QStringLiteral("张三") << together << QStringLiteral("要求需要至少两个有效姓名") << t
                                 << QList<int>{};
    QTest::newRow("same name twice") << QStringLiteral("张三 张三") << separate << QString() << s << QList<int>{1, 1};
    QTest::newRow("comma before lookup")
        << QStringLiteral("张三,小红") << together << QStringLiteral("姓名不能包含逗号或分号") << t << QList<int>{};
    QTest::newRow("comma among unknown names")
        << QStringLiteral("谁 某,人") << together << QStringLiteral("姓名不能包含逗号或分号") << t << QList<int>{};
    QTest::newRow("semicolon") << QStringLiteral("张三;小红") << together << QStringLiteral("姓名不能包含逗号或分号") << t
                               << QList<int>{};
    QTest::newRow("full-width comma stays in the name")
        << QStringLiteral("张三，小红") << together << QStringLiteral("以下姓名无效: 张三，小红") << t << QList<int>{};
    QTest::newRow("only the invalid names listed")
        << QStringLiteral("张三 路人甲 小红 路人乙") << together << QStringLiteral("以下姓名无效: 路人甲, 路人乙") << t
        << QList<int>{};
    QTest::newRow("tab does not separate")
        << QStringLiteral("张三\t小红 李四") << together << QStringLiteral("以下姓名无效: 张三\t小红") << t << QList<int>{};
}

void TestRequirementLogic::parseInput()
{
    QFETCH(QString, text);
    QFETCH(QString, kindText);
    QFETCH(QString, error);
    QFETCH(int, kind);
    QFETCH(QList<int>, members);

    const ConstraintInput input = parseConstraintInput(text, kindText, makeClass().nameToId);
    QCOMPARE(input.error, error);
    QCOMPARE(input.isValid(), error.isEmpty());
    if (input.isValid())
        QCOMPARE(int(input.kind), kind);
    QCOMPARE(input.members, members);
}

void TestRequirementLogic::check_data()
{
    QTest::addColumn<Grouping>("groups");
    QTest::addColumn<QList<Constraint>>("together");
    QTest::addColumn<QList<Constraint>>("separate");
    QTest::addColumn<QStringList>("lines");

    const QString start = QStringLiteral("开始检查要求...");
    const QString ok = QStringLiteral("所有要求已满足");
    const QString notOk = QStringLiteral("部分要求未满足");

    QTest::newRow("no requirements") << Grouping{{1, 5}, {2, 6}} << QList<Constraint>{} << QList<Constraint>{}
                                     << QStringList{start, ok};
    QTest::newRow("all satisfied") << Grouping{{1, 5}, {2, 6}} << QList<Constraint>{{1, 5}}
                                   << QList<Constraint>{{1, 2}} << QStringList{start, ok};
    QTest::newRow("together split lists all members")
        << Grouping{{1, 5}, {2, 6}} << QList<Constraint>{{1, 2, 5}} << QList<Constraint>{}
        << QStringList{start, QStringLiteral("必须同组要求未满足: 张三 李四 小红 "), notOk};
    QTest::newRow("two together in one group")
        << Grouping{{1, 5, 2, 6}, {3, 7}} << QList<Constraint>{{1, 5}, {2, 6}} << QList<Constraint>{}
        << QStringList{start, QStringLiteral("不同要求组在同一组: 要求组1 和 要求组2 都在组 1"), notOk};
    QTest::newRow("three together in position 0")
        << Grouping{{1, 5, 2, 6, 3, 7}, {4, 8}} << QList<Constraint>{{1, 5}, {2, 6}, {3, 7}} << QList<Constraint>{}
        << QStringList{start, QStringLiteral("不同要求组在同一组: 要求组1 和 要求组2 都在组 1"),
                       QStringLiteral("不同要求组在同一组: 要求组1 和 要求组3 都在组 1"),
                       QStringLiteral("不同要求组在同一组: 要求组2 和 要求组3 都在组 1"), notOk};
    QTest::newRow("pair names position plus one")
        << Grouping{{3}, {4}, {1, 5, 2, 6}} << QList<Constraint>{{1, 5}, {2, 6}} << QList<Constraint>{}
        << QStringList{start, QStringLiteral("不同要求组在同一组: 要求组1 和 要求组2 都在组 3"), notOk};
    QTest::newRow("pair test looks at first members only, apart")
        << Grouping{{1, 5}, {2, 6}} << QList<Constraint>{{1, 6}, {2, 5}} << QList<Constraint>{}
        << QStringList{start, QStringLiteral("必须同组要求未满足: 张三 小兰 "),
                       QStringLiteral("必须同组要求未满足: 李四 小红 "), notOk};
    QTest::newRow("pair test looks at first members only, together")
        << Grouping{{1, 5}, {2, 6}} << QList<Constraint>{{1, 6}, {5, 2}} << QList<Constraint>{}
        << QStringList{start, QStringLiteral("必须同组要求未满足: 张三 小兰 "),
                       QStringLiteral("必须同组要求未满足: 小红 李四 "),
                       QStringLiteral("不同要求组在同一组: 要求组1 和 要求组2 都在组 1"), notOk};
    QTest::newRow("separate clash lists every member")
        << Grouping{{1, 2}, {3}} << QList<Constraint>{} << QList<Constraint>{{1, 2, 3}}
        << QStringList{start, QStringLiteral("不能同组要求未满足: 张三 李四 王五 "), notOk};
    QTest::newRow("separate with three in one group reported once")
        << Grouping{{1, 2, 3}} << QList<Constraint>{} << QList<Constraint>{{1, 2, 3}}
        << QStringList{start, QStringLiteral("不能同组要求未满足: 张三 李四 王五 "), notOk};
    QTest::newRow("fixed order: splits, pairs, separations, verdict")
        << Grouping{{1, 5, 3, 7}, {2, 6, 4}, {8}} << QList<Constraint>{{1, 5}, {2, 8}, {3, 7}}
        << QList<Constraint>{{1, 2}, {5, 7}}
        << QStringList{start, QStringLiteral("必须同组要求未满足: 李四 小丽 "),
                       QStringLiteral("不同要求组在同一组: 要求组1 和 要求组3 都在组 1"),
                       QStringLiteral("不能同组要求未满足: 小红 小芳 "), notOk};
    QTest::newRow("person in no group counts as position 0")
        << Grouping{{1}, {2}} << QList<Constraint>{{1, 5}} << QList<Constraint>{{1, 6}}
        << QStringList{start, QStringLiteral("不能同组要求未满足: 张三 小兰 "), notOk};
    QTest::newRow("unknown numbers show empty names")
        << Grouping{{1, 5}, {2}} << QList<Constraint>{{99, 2, 3}} << QList<Constraint>{{0, 1, 5, 77}}
        << QStringList{start, QStringLiteral("必须同组要求未满足:  李四 王五 "),
                       QStringLiteral("不能同组要求未满足:  张三 小红  "), notOk};
    QTest::newRow("fewer than two roster members is met")
        << Grouping{{1}, {2}} << QList<Constraint>{{99, 2}, {}, {3}} << QList<Constraint>{{0, 1, 77}, {1, 1}}
        << QStringList{start, ok};
    QTest::newRow("together requirements sharing a member may share a group")
        << Grouping{{1, 5, 2}, {3}} << QList<Constraint>{{1, 5}, {5, 2}} << QList<Constraint>{}
        << QStringList{start, ok};
}

void TestRequirementLogic::check()
{
    QFETCH(Grouping, groups);
    QFETCH(QList<Constraint>, together);
    QFETCH(QList<Constraint>, separate);
    QFETCH(QStringList, lines);

    ClassModel model = makeClass();
    model.generatedGroups = groups;
    model.mustTogether = together;
    model.mustSeparate = separate;
    const ConstraintCheck result = checkConstraintsAgainst(model, model.generatedGroups);
    QCOMPARE(result.lines, lines);
    QCOMPARE(result.allSatisfied, lines.last() == QStringLiteral("所有要求已满足"));
}

void TestRequirementLogic::detailsAndCheckAgreeOnEmptyRequirement()
{
    ClassModel model = makeClass();
    model.generatedGroups = {{1, 2}};
    model.mustTogether = {{}, {1, 2}, {}};
    model.mustSeparate = {{}};
    const ConstraintCheck result = checkConstraintsAgainst(model, model.generatedGroups);
    QCOMPARE(result.lines, (QStringList{QStringLiteral("开始检查要求..."), QStringLiteral("所有要求已满足")}));
    QVERIFY(!groupDetailsHtml(model, 0).contains(QStringLiteral("警告")));
}

void TestRequirementLogic::verdicts_data()
{
    QTest::addColumn<Grouping>("groups");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<bool>>("met");
    QTest::addColumn<QList<int>>("group");

    const int pin = int(RequirementKind::FixedPosition);
    // Pins: 张三 (1) group 1 seat 2, 小红 (5) group 1 seat 2 as well, 小兰 (6)
    // group 2 seat 1, 小芳 (7) group 10 (disabled), 小丽 (8) group 1 seat 7.
    QTest::newRow("pins, every seat shown") << Grouping{{2, 1, 0, 0, 0, 0}, {6, 0, 0, 0, 0, 0}} << pin
                                            << QList<bool>{true, false, true, false, false} << QList<int>{0, 0, 1, -1, 0};
    QTest::newRow("pins, compacted: one seat for two") << Grouping{{1, 5, 8}, {6, 7}} << pin
                                                       << QList<bool>{false, false, true, false, false}
                                                       << QList<int>{0, 0, 1, -1, 0};
    QTest::newRow("pins, wrong group") << Grouping{{6}, {1}} << pin << QList<bool>{false, false, false, false, false}
                                       << QList<int>{0, 0, 1, -1, 0};
    // Group 1 wants 2 boys and 4 girls, group 2 as well; 张三 and 小红 lead.
    QTest::newRow("targets") << Grouping{{1, 2, 5, 6, 7, 8}, {3}} << int(RequirementKind::BoysTarget)
                             << QList<bool>{true, false} << QList<int>{0, 1};
    QTest::newRow("leaders") << Grouping{{1, 5}, {2}, {3}} << int(RequirementKind::Leaders)
                             << QList<bool>{false, false, false} << QList<int>{0, 1, 2};
    QTest::newRow("unseated") << Grouping{{1, 5}, {2}} << int(RequirementKind::Seated) << QList<bool>{false}
                              << QList<int>{-1};
}

void TestRequirementLogic::verdicts()
{
    QFETCH(Grouping, groups);
    QFETCH(int, kind);
    QFETCH(QList<bool>, met);
    QFETCH(QList<int>, group);

    ClassModel model = makeClass();
    model.leaderNames = {QStringLiteral("张三"), QStringLiteral("小红")};
    model.fixedPositions = {{1, {1, 2}}, {5, {1, 2}}, {6, {2, 1}}, {7, {10, 1}}, {8, {1, 7}}};
    const RequirementCheck check = checkRequirements(model, groups);
    QList<bool> gotMet;
    QList<int> gotGroup;
    for (const RequirementResult &result : check.ofKind(RequirementKind(kind))) {
        gotMet.append(result.met);
        gotGroup.append(result.group);
    }
    QCOMPARE(gotMet, met);
    QCOMPARE(gotGroup, group);
    QCOMPARE(check.groups.size(), groups.size());
}

void TestRequirementLogic::linkedSets_mergedAwaySetLeavesNoGap()
{
    // {1,2} and {3,4} start two sets; {2,3} joins them and empties the second.
    ClassModel model = makeClass();
    model.mustTogether = {{1, 2}, {3, 4}, {2, 3}, {5, 6}};
    QCOMPARE(linkedTogetherRequirements(model), (QList<QList<int>>{{0, 1, 2}, {3}}));
}

void TestRequirementLogic::countsLeaderWhoBoardsInBothColumns()
{
    ClassModel model = makeClass();
    model.leaderNames = {QStringLiteral("小红")};
    model.boarderNames = {QStringLiteral("小兰")};
    const PersonnelCounts five = countGroup(model, {1, 2, 5, 6, 7});
    QCOMPARE(five.people, 5);
    QCOMPARE(five.boys, 2);
    QCOMPARE(five.girls, 3);
    QCOMPARE(five.leaders, 1);
    QCOMPARE(five.boarders, 1);

    model.boarderNames.insert(QStringLiteral("小红"));
    const PersonnelCounts both = countGroup(model, {5});
    QCOMPARE(both.leaders, 1);
    QCOMPARE(both.boarders, 1);
    QCOMPARE(both.people, 1);
}

void TestRequirementLogic::totalsAreColumnSums()
{
    ClassModel model = makeClass();
    model.leaderNames = {QStringLiteral("张三"), QStringLiteral("小芳")};
    model.boarderNames = {QStringLiteral("张三"), QStringLiteral("小丽"), QStringLiteral("不在名单")};
    model.generatedGroups = {{1, 5, 6}, {2, 3, 7}, {4, 8}, {}};
    const PersonnelReport report = buildPersonnelReport(model);
    QCOMPARE(report.groups.size(), 4);
    PersonnelCounts sum;
    for (const PersonnelCounts &group : report.groups)
        sum += group;
    QCOMPARE(report.totals.people, 8);
    QCOMPARE(report.totals.boys, 4);
    QCOMPARE(report.totals.girls, 4);
    QCOMPARE(report.totals.leaders, 2);
    QCOMPARE(report.totals.boarders, 2);
    QCOMPARE(sum.people, report.totals.people);
    QCOMPARE(sum.boys, report.totals.boys);
    QCOMPARE(sum.girls, report.totals.girls);
    QCOMPARE(sum.leaders, report.totals.leaders);
    QCOMPARE(sum.boarders, report.totals.boarders);
    QCOMPARE(report.groups.at(3).people, 0);
}

void TestRequirementLogic::reportHtmlIsExact()
{
    ClassModel model = makeClass();
    model.leaderNames = {QStringLiteral("张三")};
    model.boarderNames = {QStringLiteral("张三")};
    model.generatedGroups = {{1, 5}, {6}};
    const QString expected = QStringLiteral(
        "<h2>人员检查报告</h2><table border='1' cellpadding='4'>"
        "<tr><th>组号</th><th>人数</th><th>男生</th><th>女生</th><th>组长</th><th>外宿生</th></tr>"
        "<tr><td>1</td><td>2</td><td>1</td><td>1</td><td>1</td><td>1</td></tr>"
        "<tr><td>2</td><td>1</td><td>0</td><td>1</td><td>0</td><td>0</td></tr>"
        "<tr style='background-color:#E6E6E6; font-weight:bold;'><td>总计</td><td>3</td><td>1</td><td>2</td>"
        "<td>1</td><td>1</td></tr></table>"
        "<p>总人数: 3 (男生: 1, 女生: 2)</p><p>组长: 1, 外宿生: 1</p>");
    QCOMPARE(buildPersonnelReport(model).html, expected);
}

QTEST_GUILESS_MAIN(TestRequirementLogic)
#include "test_requirementlogic.moc"
