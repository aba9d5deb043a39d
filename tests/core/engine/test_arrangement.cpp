// Leaders, gender order, 不能同组 separation, boarders and the final check.
#include "common/enginefixtures.h"

#include "core/engine/balancing.h"
#include "core/engine/leaders.h"
#include "core/engine/placement.h"
#include "core/engine/verification.h"
#include "core/engine/workingstate.h"

#include <QTest>

#include <memory>

using namespace Fixtures;

namespace {

// b1..b6 are numbers 1..6, g1..g6 are 7..12.
constexpr PersonId b1 = 1, b2 = 2, b3 = 3, b4 = 4, b5 = 5, g1 = 7, g2 = 8, g3 = 9, g4 = 10, g5 = 11, g6 = 12;

// A prepared run over a class of six boys and six girls whose groups a test
// fills by hand.
struct Scene
{
    ClassModel model = makeClass(names(QStringLiteral("b"), 6), names(QStringLiteral("g"), 6));
    LogCapture log;
    CountingSeeds seeds{11};
    std::unique_ptr<WorkingState> state;

    WorkingState &start(const Grouping &groups, const QList<PersonId> &fixed = {})
    {
        for (int p = 0; p < groups.size(); ++p)
            enableGroup(model, p + 1, int(groups.at(p).size()), 2, 2);
        state = std::make_unique<WorkingState>(model, log.sink(), seeds.source());
        Placement::prepare(*state);
        state->groups = groups;
        for (const Group &group : groups) {
            for (PersonId id : group)
                state->unassigned.remove(id);
        }
        for (PersonId id : fixed)
            state->fixed.insert(id);
        return *state;
    }
};

QList<QPair<int, int>> genderCounts(const WorkingState &state)
{
    QList<QPair<int, int>> counts;
    for (const Group &group : state.groups) {
        int boys = 0;
        int girls = 0;
        for (PersonId id : group) {
            if (id != 0)
                ++(state.isBoy(id) ? boys : girls);
        }
        counts.append({boys, girls});
    }
    return counts;
}

} // namespace

class TestArrangement : public QObject
{
    Q_OBJECT

private slots:
    // Leaders
    void leaders_unseatedLeaderTakesAnEmptySeat();
    void leaders_noEmptySeatLeavesLeaderUnplaced();
    void leaders_conflicts_data();
    void leaders_conflicts();
    void leaders_conflictsKeepRequirements_data();
    void leaders_conflictsKeepRequirements();
    // Gender order
    void genderOrder_data();
    void genderOrder();
    // 不能同组
    void separation_data();
    void separation();
    void separation_keepsTogetherRequirements_data();
    void separation_keepsTogetherRequirements();
    void separation_boundedWhenRequirementsCannotAllBeMet();
    void pickSwapCandidate_freshGeneratorPerCall();
    // Boarders
    void boarders_data();
    void boarders();
    void boarders_keepRequirements_data();
    void boarders_keepRequirements();
    // Final check
    void verification_reportsFixedPositionsAndLeaders();
    void verification_listsUnmetRequirements_data();
    void verification_listsUnmetRequirements();
    void compaction_dropsEmptySeatsInSeatOrder();
};

void TestArrangement::leaders_unseatedLeaderTakesAnEmptySeat()
{
    Scene scene;
    scene.model.leaderNames = {QStringLiteral("b1"), QStringLiteral("g1"), QStringLiteral("nobody")};
    WorkingState &state = scene.start({{b1, b2, 0}, {b3, 0, 0}});
    state.unassigned.insert(g1);
    Leaders::placeUnseatedLeaders(state);

    QCOMPARE(scene.log.lines, (QStringList{
                                  QStringLiteral("组长 b1 已被分配"),
                                  QStringLiteral("组1 已有组长: b1"),
                                  QStringLiteral("分配组长 g1 到组2座位2"),
                              }));
    QCOMPARE(state.groups, (Grouping{{b1, b2, 0}, {b3, g1, 0}}));
}

void TestArrangement::leaders_noEmptySeatLeavesLeaderUnplaced()
{
    Scene scene;
    scene.model.leaderNames = {QStringLiteral("b1"), QStringLiteral("g1"), QStringLiteral("g6")};
    WorkingState &state = scene.start({{b1, b2, g2}, {b3, g3}, {b4, 0}});
    Leaders::placeUnseatedLeaders(state);

    const QStringList lines = scene.log.lines;
    QCOMPARE(lines.mid(0, 3), (QStringList{QStringLiteral("组长 b1 已被分配"), QStringLiteral("组1 已有组长: b1"),
                                           QStringLiteral("警告: 无法为组2 分配组长，没有空位")}));
    // Group 3 takes one of the two, in shuffled order; the other stays out.
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines.at(3) == QStringLiteral("分配组长 g1 到组3座位2") || lines.at(3) == QStringLiteral("分配组长 g6 到组3座位2"));
    QCOMPARE(lines.at(4), QStringLiteral("警告: 有 1 个组长未能分配"));
    QVERIFY(lines.at(5).startsWith(QStringLiteral("未分配组长: g")));
    QVERIFY(lines.at(3).mid(5, 2) != lines.at(5).mid(7, 2));
}

void TestArrangement::leaders_conflicts_data()
{
    QTest::addColumn<Grouping>("before");
    QTest::addColumn<QList<PersonId>>("fixed");
    QTest::addColumn<Grouping>("after");
    QTest::addColumn<QStringList>("lines");

    // Leaders: b1, b2, g1.
    QTest::newRow("move into an empty seat")
        << Grouping{{b1, b2, g2}, {b3, 0, 0}} << QList<PersonId>{} << Grouping{{0, b2, g2}, {b3, b1, 0}}
        << QStringList{QStringLiteral("解决组长冲突: 将组长 b1 从组1 移动到组2")};
    QTest::newRow("same-gender swap when no seat is free")
        << Grouping{{b1, b2, g2}, {g3, b3}} << QList<PersonId>{} << Grouping{{b3, b2, g2}, {g3, b1}}
        << QStringList{QStringLiteral("解决组长冲突(交换): 将组长 b1 从组1 与组2的 b3 交换")};
    QTest::newRow("fixed leader stays, the next one swaps")
        << Grouping{{b1, g1, b4}, {b3, g2}} << QList<PersonId>{b1} << Grouping{{b1, g2, b4}, {b3, g1}}
        << QStringList{QStringLiteral("解决组长冲突(交换): 将组长 g1 从组1 与组2的 g2 交换")};
    QTest::newRow("fixed leaders cannot move")
        << Grouping{{b1, b2, g2}, {b3, g3, 0}} << QList<PersonId>{b1, b2} << Grouping{{b1, b2, g2}, {b3, g3, 0}}
        << QStringList{QStringLiteral("警告: 经过冲突解决后，组1 仍有 2 个组长"),
                       QStringLiteral("警告: 经过冲突解决后，组2 没有组长")};
    QTest::newRow("several moves, one per iteration")
        << Grouping{{b1, b2, g1}, {0, 0}, {b3, 0}} << QList<PersonId>{}
        << Grouping{{0, 0, g1}, {b1, 0}, {b3, b2}}
        << QStringList{QStringLiteral("解决组长冲突: 将组长 b1 从组1 移动到组2"),
                       QStringLiteral("解决组长冲突: 将组长 b2 从组1 移动到组3")};
    QTest::newRow("no partner of the leader's gender")
        << Grouping{{b1, b2}, {g2, g3}} << QList<PersonId>{} << Grouping{{b1, b2}, {g2, g3}}
        << QStringList{QStringLiteral("警告: 经过冲突解决后，组1 仍有 2 个组长"),
                       QStringLiteral("警告: 经过冲突解决后，组2 没有组长")};
}

void TestArrangement::leaders_conflicts()
{
    QFETCH(Grouping, before);
    QFETCH(QList<PersonId>, fixed);
    QFETCH(Grouping, after);
    QFETCH(QStringList, lines);

    Scene scene;
    scene.model.leaderNames = {QStringLiteral("b1"), QStringLiteral("b2"), QStringLiteral("g1")};
    WorkingState &state = scene.start(before, fixed);
    Leaders::resolveConflicts(state);
    Leaders::reportLeaders(state);
    QCOMPARE(state.groups, after);
    QCOMPARE(scene.log.lines, lines);
}

void TestArrangement::leaders_conflictsKeepRequirements_data()
{
    QTest::addColumn<Grouping>("before");
    QTest::addColumn<QList<Constraint>>("together");
    QTest::addColumn<QList<Constraint>>("apart");
    QTest::addColumn<Grouping>("after");
    QTest::addColumn<QString>("line");

    // Leaders: b1, b2, g1.
    QTest::newRow("swap passes over a 必须同组 member")
        << Grouping{{b1, b2, g2}, {b3, b4, g3}} << QList<Constraint>{{b3, g3}} << QList<Constraint>{}
        << Grouping{{b4, b2, g2}, {b3, b1, g3}}
        << QStringLiteral("解决组长冲突(交换): 将组长 b1 从组1 与组2的 b4 交换");
    QTest::newRow("leader beside a fellow member stays, the other moves")
        << Grouping{{b1, g2, g1}, {b3, 0}} << QList<Constraint>{{b1, g2}} << QList<Constraint>{}
        << Grouping{{b1, g2, 0}, {b3, g1}} << QStringLiteral("解决组长冲突: 将组长 g1 从组1 移动到组2");
    QTest::newRow("swap that would join 不能同组 members is passed over")
        << Grouping{{b1, b2, g2}, {b3, b4, g3}} << QList<Constraint>{} << QList<Constraint>{{b1, b4}}
        << Grouping{{b4, b2, g2}, {b3, b1, g3}}
        << QStringLiteral("解决组长冲突(交换): 将组长 b1 从组1 与组2的 b4 交换");
    QTest::newRow("safe swap before a move that breaks a requirement")
        << Grouping{{b1, b2, g2}, {b3, g3, 0}} << QList<Constraint>{} << QList<Constraint>{{b1, b3}}
        << Grouping{{b3, b2, g2}, {b1, g3, 0}}
        << QStringLiteral("解决组长冲突(交换): 将组长 b1 从组1 与组2的 b3 交换");
    QTest::newRow("no safe choice: the first swap")
        << Grouping{{b1, b2, g2}, {b3, g3}} << QList<Constraint>{{b3, g3}} << QList<Constraint>{}
        << Grouping{{b3, b2, g2}, {b1, g3}}
        << QStringLiteral("解决组长冲突(交换): 将组长 b1 从组1 与组2的 b3 交换");
}

void TestArrangement::leaders_conflictsKeepRequirements()
{
    QFETCH(Grouping, before);
    QFETCH(QList<Constraint>, together);
    QFETCH(QList<Constraint>, apart);
    QFETCH(Grouping, after);
    QFETCH(QString, line);

    Scene scene;
    scene.model.leaderNames = {QStringLiteral("b1"), QStringLiteral("b2"), QStringLiteral("g1")};
    scene.model.mustTogether = together;
    scene.model.mustSeparate = apart;
    WorkingState &state = scene.start(before, {b2}); // b2 stays in group 1
    Leaders::resolveConflicts(state);
    QCOMPARE(state.groups, after);
    QCOMPARE(scene.log.lines, QStringList{line});
}

void TestArrangement::genderOrder_data()
{
    QTest::addColumn<Group>("before");
    QTest::addColumn<QList<PersonId>>("fixed");
    QTest::addColumn<QString>("genders"); // of the seats after ordering, '-' for empty
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("fixed girl in seat 1")
        << Group{g1, b1, b2} << QList<PersonId>{g1} << QStringLiteral("FMM")
        << QStringList{QStringLiteral("警告: 组1 中男生出现在女生区域"), QStringLiteral("警告: 组1 中男生出现在女生区域"),
                       QStringLiteral("组1 最终性别分布: F M M  (男生:2, 女生:1)"),
                       QStringLiteral("错误: 组1 中男生出现在女生后面")};
    QTest::newRow("boys first, empty seats last")
        << Group{g1, 0, b1, g2, b2, 0} << QList<PersonId>{} << QStringLiteral("MMFF--")
        << QStringList{QStringLiteral("组1 最终性别分布: M M F F  (男生:2, 女生:2)")};
    QTest::newRow("fixed boy in the last seat")
        << Group{g1, b1, g2, b2} << QList<PersonId>{b2} << QStringLiteral("MFFM")
        << QStringList{QStringLiteral("警告: 组1 中男生出现在女生区域"),
                       QStringLiteral("组1 最终性别分布: M F F M  (男生:2, 女生:2)"),
                       QStringLiteral("错误: 组1 中男生出现在女生后面")};
    QTest::newRow("fixed empty-free seats around a fixed girl")
        << Group{b1, 0, g1, b2, 0} << QList<PersonId>{g1} << QStringLiteral("MMF--")
        << QStringList{QStringLiteral("组1 最终性别分布: M M F  (男生:2, 女生:1)")};
    QTest::newRow("no seats") << Group{} << QList<PersonId>{} << QString()
                              << QStringList{QStringLiteral("组1 最终性别分布:  (男生:0, 女生:0)")};
}

void TestArrangement::genderOrder()
{
    QFETCH(Group, before);
    QFETCH(QList<PersonId>, fixed);
    QFETCH(QString, genders);
    QFETCH(QStringList, lines);

    Scene scene;
    WorkingState &state = scene.start({before}, fixed);
    Balancing::orderByGender(state);

    const Group &after = state.groups.at(0);
    QString seen;
    for (PersonId id : after)
        seen += id == 0 ? u'-' : state.genderOf(id);
    QCOMPARE(seen, genders);
    for (PersonId id : fixed)
        QCOMPARE(after.indexOf(id), before.indexOf(id));
    Group sortedBefore = before;
    Group sortedAfter = after;
    std::sort(sortedBefore.begin(), sortedBefore.end());
    std::sort(sortedAfter.begin(), sortedAfter.end());
    QCOMPARE(sortedAfter, sortedBefore);
    QCOMPARE(scene.log.lines, QStringList{QStringLiteral("进行最终性别分组排列...")} + lines);
}

void TestArrangement::separation_data()
{
    QTest::addColumn<Grouping>("before");
    QTest::addColumn<QStringList>("leaders");
    QTest::addColumn<QList<Constraint>>("requirements");
    QTest::addColumn<Grouping>("after");
    QTest::addColumn<QStringList>("lines");

    const QString header = QStringLiteral("处理不能同组要求...");
    QTest::newRow("second member swaps with the only boy elsewhere")
        << Grouping{{b1, b2, g1}, {b3, g2, g3}} << QStringList{} << QList<Constraint>{{b1, b2}}
        << Grouping{{b1, b3, g1}, {b2, g2, g3}} << QStringList{header};
    QTest::newRow("leader second in the requirement stays, the first moves")
        << Grouping{{b1, b2, g1}, {b3, g2, g3}} << QStringList{QStringLiteral("b2")} << QList<Constraint>{{b1, b2}}
        << Grouping{{b3, b2, g1}, {b1, g2, g3}}
        << QStringList{header, QStringLiteral("警告: 人员 b2 在不可移动位置，无法移动以满足不能同组要求")};
    QTest::newRow("both leaders: nothing moves")
        << Grouping{{b1, b2, g1}, {b3, g2, g3}} << QStringList{QStringLiteral("b1"), QStringLiteral("b2")}
        << QList<Constraint>{{b1, b2}} << Grouping{{b1, b2, g1}, {b3, g2, g3}}
        << QStringList{header, QStringLiteral("警告: 人员 b2 在不可移动位置，无法移动以满足不能同组要求")};
    QTest::newRow("leader first in the requirement, the other moves")
        << Grouping{{b1, b2, g1}, {b3, g2, g3}} << QStringList{QStringLiteral("b1")} << QList<Constraint>{{b1, b2}}
        << Grouping{{b1, b3, g1}, {b2, g2, g3}} << QStringList{header};
    QTest::newRow("partner must not be a leader")
        << Grouping{{b1, b2, g1}, {b3, g2, g3}} << QStringList{QStringLiteral("b3")} << QList<Constraint>{{b1, b2}}
        << Grouping{{b1, b2, g1}, {b3, g2, g3}} << QStringList{header};
    QTest::newRow("no group free of the other members")
        << Grouping{{b1, b2, g1}, {b3, g2, g3}} << QStringList{} << QList<Constraint>{{b1, b2, b3}}
        << Grouping{{b1, b2, g1}, {b3, g2, g3}} << QStringList{header};
    QTest::newRow("girl swaps with a girl")
        << Grouping{{g1, b1, g2}, {b2, g3}} << QStringList{} << QList<Constraint>{{g2, g1}}
        << Grouping{{g3, b1, g2}, {b2, g1}} << QStringList{header};
    QTest::newRow("a person named twice counts once")
        << Grouping{{b1, b2, g1}, {b3, g2, g3}} << QStringList{} << QList<Constraint>{{b1, b1}}
        << Grouping{{b1, b2, g1}, {b3, g2, g3}} << QStringList{header};
    QTest::newRow("number off the roster is skipped")
        << Grouping{{b1, g1}, {b2, g2}} << QStringList{} << QList<Constraint>{{b1, 77}}
        << Grouping{{b1, g1}, {b2, g2}}
        << QStringList{header, QStringLiteral("错误: 不能同组要求中的人员编号77不在名单中，已跳过")};
}

void TestArrangement::separation()
{
    QFETCH(Grouping, before);
    QFETCH(QStringList, leaders);
    QFETCH(QList<Constraint>, requirements);
    QFETCH(Grouping, after);
    QFETCH(QStringList, lines);

    Scene scene;
    scene.model.leaderNames = QSet<QString>(leaders.begin(), leaders.end());
    scene.model.mustSeparate = requirements;
    WorkingState &state = scene.start(before);
    Balancing::collectImmovable(state);
    const auto counts = genderCounts(state);
    Balancing::separateRequirements(state);
    QCOMPARE(state.groups, after);
    QCOMPARE(scene.log.lines, lines);
    QCOMPARE(genderCounts(state), counts);
}

void TestArrangement::separation_keepsTogetherRequirements_data()
{
    QTest::addColumn<Grouping>("before");
    QTest::addColumn<QList<Constraint>>("together");
    QTest::addColumn<Grouping>("after");

    // b1 and b2 are to be apart; b2 has one group to go to.
    constexpr PersonId b6 = 6;
    QTest::newRow("partners that would break 必须同组 are passed over")
        << Grouping{{b1, b2, g1}, {b3, b4, b5, b6, g2}} << QList<Constraint>{{b3, b4, g2}, {b5, g2}}
        << Grouping{{b1, b6, g1}, {b3, b4, b5, b2, g2}};
    QTest::newRow("member beside a fellow stays, the first one moves")
        << Grouping{{b1, b2, g1}, {b3, g2}} << QList<Constraint>{{b2, g1}} << Grouping{{b3, b2, g1}, {b1, g2}};
    QTest::newRow("every partner would break one: the swap is made all the same")
        << Grouping{{b1, b2, g1}, {b3, g2}} << QList<Constraint>{{b3, g2}} << Grouping{{b1, b3, g1}, {b2, g2}};
}

void TestArrangement::separation_keepsTogetherRequirements()
{
    QFETCH(Grouping, before);
    QFETCH(QList<Constraint>, together);
    QFETCH(Grouping, after);

    for (quint32 seed : {11u, 12u, 13u, 14u}) {
        Scene scene;
        scene.seeds = CountingSeeds(seed);
        scene.model.mustSeparate = {{b1, b2}};
        scene.model.mustTogether = together;
        WorkingState &state = scene.start(before);
        Balancing::collectImmovable(state);
        Balancing::separateRequirements(state);
        QCOMPARE(state.groups, after);
    }
}

void TestArrangement::separation_boundedWhenRequirementsCannotAllBeMet()
{
    // Three boys pairwise apart in two groups: every pass finds a pair to split.
    Scene scene;
    scene.model.mustSeparate = {{b1, b2}, {b2, b3}, {b1, b3}};
    WorkingState &state = scene.start({{b1, b2, b4, g1, g2, g3}, {b3, b5, 6, g4, g5, g6}});
    Balancing::collectImmovable(state);
    const auto counts = genderCounts(state);
    Balancing::separateRequirements(state);

    QCOMPARE(scene.log.lines,
             (QStringList{QStringLiteral("处理不能同组要求..."),
                          QStringLiteral("警告: 调整次数已达上限(100次)，部分不能同组要求未能满足")}));
    QCOMPARE(genderCounts(state), counts);
    QVERIFY(*scene.seeds.calls > Balancing::kMaxSeparationPasses); // one fresh generator per partner pick
}

void TestArrangement::pickSwapCandidate_freshGeneratorPerCall()
{
    Scene scene;
    WorkingState &state = scene.start({{b1, g1, b2, 0, b3}, {g2}});
    PersonFlags excluded(13);
    excluded.insert(b2);
    const int before = *scene.seeds.calls;
    const quint32 seed = *scene.seeds.next;

    std::mt19937 replay(seed);
    const PersonId expected = replay() % 2 == 0 ? b1 : b3; // candidates b1, b3
    QCOMPARE(Balancing::pickSwapCandidate(state, b4, 0, excluded), expected);
    QCOMPARE(*scene.seeds.calls, before + 1);

    excluded.insert(g2);
    QCOMPARE(Balancing::pickSwapCandidate(state, g1, 1, excluded), 0);
    QCOMPARE(*scene.seeds.calls, before + 1); // no candidate, no seed taken
}

void TestArrangement::boarders_data()
{
    QTest::addColumn<QStringList>("leaders");
    QTest::addColumn<Grouping>("after");
    QTest::addColumn<QStringList>("lines");

    // Boarders b1, b2, g1 in group 1, b3 in group 2, g2 in group 3: counts 3, 1, 1.
    const QString header = QStringLiteral("平衡外宿生分布（不移动组长）...");
    QTest::newRow("first boarder to the first emptiest group")
        << QStringList{} << Grouping{{b4, b2, g1, g3}, {b3, b1, g4, g5}, {g2, b5, g6, 0}}
        << QStringList{header, QStringLiteral("平衡外宿生: 将 b1 从组1 移动到组2")};
    QTest::newRow("a leader boarder stays")
        << QStringList{QStringLiteral("b1")} << Grouping{{b1, b4, g1, g3}, {b3, b2, g4, g5}, {g2, b5, g6, 0}}
        << QStringList{header, QStringLiteral("平衡外宿生: 将 b2 从组1 移动到组2")};
    QTest::newRow("partner must not be a leader")
        << QStringList{QStringLiteral("b4")} << Grouping{{b1, b2, g4, g3}, {b3, b4, g1, g5}, {g2, b5, g6, 0}}
        << QStringList{header, QStringLiteral("平衡外宿生: 将 g1 从组1 移动到组2")};
}

void TestArrangement::boarders()
{
    QFETCH(QStringList, leaders);
    QFETCH(Grouping, after);
    QFETCH(QStringList, lines);

    Scene scene;
    scene.model.leaderNames = QSet<QString>(leaders.begin(), leaders.end());
    scene.model.boarderNames = {QStringLiteral("b1"), QStringLiteral("b2"), QStringLiteral("g1"), QStringLiteral("b3"),
                                QStringLiteral("g2")};
    WorkingState &state = scene.start({{b1, b2, g1, g3}, {b3, b4, g4, g5}, {g2, b5, g6, 0}});
    Balancing::collectImmovable(state);
    const auto counts = genderCounts(state);
    Balancing::balanceBoarders(state);
    QCOMPARE(state.groups, after);
    QCOMPARE(scene.log.lines, lines);
    QCOMPARE(genderCounts(state), counts);
}

void TestArrangement::boarders_keepRequirements_data()
{
    QTest::addColumn<QList<Constraint>>("together");
    QTest::addColumn<QList<Constraint>>("apart");
    QTest::addColumn<Grouping>("after");
    QTest::addColumn<QStringList>("lines");

    // The groups and boarders of boarders(): counts 3, 1, 1.
    const QString header = QStringLiteral("平衡外宿生分布（不移动组长）...");
    QTest::newRow("partner beside a 必须同组 fellow is passed over")
        << QList<Constraint>{{b4, g4}} << QList<Constraint>{}
        << Grouping{{b1, b2, g5, g3}, {b3, b4, g4, g1}, {g2, b5, g6, 0}}
        << QStringList{header, QStringLiteral("平衡外宿生: 将 g1 从组1 移动到组2")};
    QTest::newRow("boarder beside a 必须同组 fellow stays")
        << QList<Constraint>{{b1, g3}} << QList<Constraint>{}
        << Grouping{{b1, b4, g1, g3}, {b3, b2, g4, g5}, {g2, b5, g6, 0}}
        << QStringList{header, QStringLiteral("平衡外宿生: 将 b2 从组1 移动到组2")};
    QTest::newRow("exchange that would join 不能同组 members is passed over")
        << QList<Constraint>{} << QList<Constraint>{{b1, b3}}
        << Grouping{{b1, b4, g1, g3}, {b3, b2, g4, g5}, {g2, b5, g6, 0}}
        << QStringList{header, QStringLiteral("平衡外宿生: 将 b2 从组1 移动到组2")};
    QTest::newRow("no safe pair ends the step")
        << QList<Constraint>{{b4, g4, g5}} << QList<Constraint>{}
        << Grouping{{b1, b2, g1, g3}, {b3, b4, g4, g5}, {g2, b5, g6, 0}} << QStringList{header};
}

void TestArrangement::boarders_keepRequirements()
{
    QFETCH(QList<Constraint>, together);
    QFETCH(QList<Constraint>, apart);
    QFETCH(Grouping, after);
    QFETCH(QStringList, lines);

    Scene scene;
    scene.model.boarderNames = {QStringLiteral("b1"), QStringLiteral("b2"), QStringLiteral("g1"), QStringLiteral("b3"),
                                QStringLiteral("g2")};
    scene.model.mustTogether = together;
    scene.model.mustSeparate = apart;
    WorkingState &state = scene.start({{b1, b2, g1, g3}, {b3, b4, g4, g5}, {g2, b5, g6, 0}});
    Balancing::collectImmovable(state);
    Balancing::balanceBoarders(state);
    QCOMPARE(state.groups, after);
    QCOMPARE(scene.log.lines, lines);
}

void TestArrangement::verification_reportsFixedPositionsAndLeaders()
{
    Scene scene;
    ClassModel &model = scene.model;
    enableGroup(model, 1, 4, 2, 2);
    model.groupConfigs[1].enabled = false;
    enableGroup(model, 3, 3, 2, 1);
    enableGroup(model, 4, 2, 1, 1);
    model.leaderNames = {QStringLiteral("b1"), QStringLiteral("b2"), QStringLiteral("b3")};
    model.fixedPositions = {
        {b1, {1, 1}}, // in place
        {b2, {1, 2}}, // sits in group 3
        {g1, {3, 5}}, // seat beyond group 3's three seats
        {g2, {2, 1}}, // group 2 is off: no line
        {g3, {1, 3}}, // holds no seat
        {50, {1, 4}}, // nobody: no line
    };
    auto state = std::make_unique<WorkingState>(model, scene.log.sink(), scene.seeds.source());
    QVERIFY(Placement::prepare(*state));
    state->groups = {{b1, 0, 0, b4}, {b2, g1, b3}, {g4, 0}};
    Verification::verify(*state);

    QCOMPARE(scene.log.lines, (QStringList{
                                  QStringLiteral("开始最终验证..."),
                                  QStringLiteral("✓ 固定位置验证通过: b1 在组1座位1"),
                                  QStringLiteral("✗ 固定位置验证失败: b2 应该在组1座位2，实际在组3"),
                                  QStringLiteral("✗ 固定位置验证失败: g1 应该在组3座位5，实际在组3"),
                                  QStringLiteral("✗ 固定位置验证失败: g3 应该在组1座位3，实际在组未分配"),
                                  QStringLiteral("✓ 组长分配验证通过: 组1 有1个组长"),
                                  QStringLiteral("✗ 组长分配失败: 组3 有2个组长"),
                                  QStringLiteral("⚠ 组长分配警告: 组4 没有组长"),
                              }));
}

void TestArrangement::verification_listsUnmetRequirements_data()
{
    QTest::addColumn<QList<Constraint>>("together");
    QTest::addColumn<QList<Constraint>>("apart");
    QTest::addColumn<QStringList>("lines"); // after the leader lines

    // Groups 1, 3, 4 hold {b1, b2, b4}, {g1, g2, b3}, {g4}; g3 and g5 have no seat.
    QTest::newRow("all met: the log is as before")
        << QList<Constraint>{{b1, b2}, {g1, 77}} << QList<Constraint>{{b1, g1, g4}, {g3, b3}} << QStringList{};
    QTest::newRow("必须同组 split, and one without a seat")
        << QList<Constraint>{{b1, g1, b4}, {g2, g3}} << QList<Constraint>{}
        << QStringList{QStringLiteral("✗ 必须同组要求未满足: b1, g1, b4（分在组1、组3）"),
                       QStringLiteral("✗ 必须同组要求未满足: g2, g3（分在组3、未分配）")};
    QTest::newRow("两个必须同组 in one group")
        << QList<Constraint>{{b1, b2}, {b4, g4}, {g1, g2}, {b2, b2}} << QList<Constraint>{}
        << QStringList{QStringLiteral("✗ 必须同组要求未满足: b4, g4（分在组1、组4）"),
                       QStringLiteral("✗ 不同要求组在同一组: 要求组1 和 要求组2 都在组1")};
    QTest::newRow("不能同组 members sharing groups")
        << QList<Constraint>{} << QList<Constraint>{{g4, b1, g1, b2, b3}}
        << QStringList{QStringLiteral("✗ 不能同组要求未满足: b1, g1, b2, b3（同在组1、组3）")};
}

void TestArrangement::verification_listsUnmetRequirements()
{
    QFETCH(QList<Constraint>, together);
    QFETCH(QList<Constraint>, apart);
    QFETCH(QStringList, lines);

    Scene scene;
    enableGroup(scene.model, 1, 4, 2, 2);
    enableGroup(scene.model, 3, 3, 2, 1);
    enableGroup(scene.model, 4, 2, 1, 1);
    scene.model.mustTogether = together;
    scene.model.mustSeparate = apart;
    scene.model.fixedPositions = {{g4, {4, 2}}}; // judged by its own line only
    auto state = std::make_unique<WorkingState>(scene.model, scene.log.sink(), scene.seeds.source());
    QVERIFY(Placement::prepare(*state));
    state->groups = {{b1, 0, b2, b4}, {g1, g2, b3}, {g4, 0}};
    const RequirementVerdict verdict = Verification::verify(*state);

    const QStringList before{QStringLiteral("开始最终验证..."),
                             QStringLiteral("✗ 固定位置验证失败: g4 应该在组4座位2，实际在组4"),
                             QStringLiteral("⚠ 组长分配警告: 组1 没有组长"), QStringLiteral("⚠ 组长分配警告: 组3 没有组长"),
                             QStringLiteral("⚠ 组长分配警告: 组4 没有组长")};
    QCOMPARE(scene.log.lines, before + lines);
    QCOMPARE(verdict.unmet.size(), lines.size() + 1);
    QCOMPARE(verdict.count(RequirementKind::FixedPosition), 1);
}

void TestArrangement::compaction_dropsEmptySeatsInSeatOrder()
{
    Scene scene;
    WorkingState &state = scene.start({{0, b2, 0, g1}, {0, 0}, {g3, b1, 0}});
    QCOMPARE(Verification::compact(state), (Grouping{{b2, g1}, {}, {g3, b1}}));
    QCOMPARE(scene.log.lines, QStringList{QStringLiteral("分组完成")});
}

QTEST_GUILESS_MAIN(TestArrangement)
#include "test_arrangement.moc"
