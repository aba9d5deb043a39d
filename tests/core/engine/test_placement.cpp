// The opening steps of a run: fixed positions, 必须同组 groups, seat filling.
#include "common/enginefixtures.h"

#include "core/engine/filling.h"
#include "core/engine/placement.h"
#include "core/engine/workingstate.h"

#include <QRegularExpression>
#include <QTest>

using namespace Fixtures;

namespace {

// Lines with every name replaced by "*", for runs whose pool order is random.
QStringList shapes(const QStringList &lines)
{
    static const QRegularExpression name(QStringLiteral("(?<= )[bg]\\d+(?= )"));
    QStringList result;
    for (QString line : lines)
        result.append(line.replace(name, QStringLiteral("*")));
    return result;
}

// Person and the place of a group in the shuffled candidate order.
using Places = QList<QPair<PersonId, int>>;

int occurrences(const Grouping &groups, PersonId id)
{
    int count = 0;
    for (const Group &group : groups)
        count += int(group.count(id));
    return count;
}

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    // Fixed positions
    void fixedPositions_reportsEveryErrorInGroupOrder();
    // 必须同组 requirements
    void together_fillsFreeSeatsAroundFixedPersons();
    void together_personInTwoRequirementsIsSeatedOnce();
    void together_firstDrawsShuffleTheCandidateGroups();
    void together_pinnedMemberBringsItsRequirement_data();
    void together_pinnedMemberBringsItsRequirement();
    void together_takesAGroupWhoseTargetsFitItsMembers();
    // Seat filling
    void filling_quotaCountsGirlsAlreadySeated();
    void filling_requirementGroupTakesItsRemainingQuota();
    void filling_nobodyBeyondCapacity();
};

void TestPlacement::fixedPositions_reportsEveryErrorInGroupOrder()
{
    ClassModel model = makeClass(names(QStringLiteral("b"), 4), names(QStringLiteral("g"), 4));
    enableGroup(model, 1, 6, 2, 4);
    enableGroup(model, 2, 3, 1, 2);
    model.fixedPositions = {
        {0, {1, 3}},  // nobody holds number 0
        {1, {3, 1}},  // group 3 is off
        {2, {2, 2}},
        {3, {1, 7}},  // group 1 has six seats
        {4, {11, 1}}, // no such group
        {5, {2, 2}},  // same seat as b2, who comes first
        {6, {1, 2}},
        {99, {1, 1}}, // beyond the roster
    };
    LogCapture log;
    WorkingState state(model, log.sink(), CountingSeeds(1).source());
    QVERIFY(Placement::prepare(state));
    Placement::placeFixedPositions(state);

    const QStringList expected{
        QStringLiteral("错误: 固定位置中的人员编号0不在名单中，已跳过"),
        QStringLiteral("处理固定位置: b3 到组1座位7"),
        QStringLiteral("错误: 座位位置7超出范围(1-6)"),
        QStringLiteral("处理固定位置: g2 到组1座位2"),
        QStringLiteral("成功分配固定位置: g2 到组1座位2"),
        QStringLiteral("错误: 固定位置中的人员编号99不在名单中，已跳过"),
        QStringLiteral("处理固定位置: b2 到组2座位2"),
        QStringLiteral("成功分配固定位置: b2 到组2座位2"),
        QStringLiteral("处理固定位置: g1 到组2座位2"),
        QStringLiteral("错误: 座位2已被固定位置人员 b2 占用，无法放置 g1"),
        QStringLiteral("处理固定位置: b1 到组3座位1"),
        QStringLiteral("错误: 组3未启用或索引无效"),
        QStringLiteral("处理固定位置: b4 到组11座位1"),
        QStringLiteral("错误: 组11未启用或索引无效"),
    };
    QCOMPARE(log.lines, expected);
    QCOMPARE(state.groups, (Grouping{{0, 6, 0, 0, 0, 0}, {0, 2, 0}}));
    QVERIFY(state.fixed.contains(2) && state.fixed.contains(6));
    QVERIFY(!state.fixed.contains(5) && state.unassigned.contains(5)); // seated later like anybody
    QVERIFY(!state.unassigned.contains(2) && !state.unassigned.contains(6));
}

void TestPlacement::together_fillsFreeSeatsAroundFixedPersons()
{
    ClassModel model = makeClass(names(QStringLiteral("b"), 4), names(QStringLiteral("g"), 4));
    enableGroup(model, 3, 5, 2, 3); // the only group: the candidate order is fixed
    model.fixedPositions = {{5, {3, 1}}, {6, {3, 3}}};
    model.mustTogether = {{1, 5, 42, 2, 7, 8}, {3, 4}};
    LogCapture log;
    WorkingState state(model, log.sink(), CountingSeeds(1).source());
    QVERIFY(Placement::prepare(state));
    Placement::placeFixedPositions(state);
    log.lines.clear();
    Placement::placeTogetherRequirements(state);

    QCOMPARE(log.lines, (QStringList{
                            QStringLiteral("人员 g1 已被固定位置占用，跳过要求分配"),
                            QStringLiteral("错误: 必须同组要求中的人员编号42不在名单中，已跳过"),
                            QStringLiteral("错误: 组3没有足够的空位分配给要求组"),
                            QStringLiteral("错误：没有足够的组来分配所有要求组"),
                        }));
    QCOMPARE(state.groups, (Grouping{{5, 1, 6, 2, 7}}));
    QVERIFY(state.isRequirementGroup(0));
    QVERIFY(state.unassigned.contains(8)); // the member that found no seat
    QVERIFY(state.unassigned.contains(3) && state.unassigned.contains(4));
}

void TestPlacement::together_personInTwoRequirementsIsSeatedOnce()
{
    ClassModel model = makeClass(names(QStringLiteral("b"), 4), names(QStringLiteral("g"), 2));
    for (int number = 1; number <= 3; ++number)
        enableGroup(model, number, 4, 2, 2);
    model.mustTogether = {{1, 2}, {2, 3, 3}};
    LogCapture log;
    WorkingState state(model, log.sink(), CountingSeeds(7).source());
    QVERIFY(Placement::prepare(state));
    Placement::placeTogetherRequirements(state);

    QCOMPARE(log.lines, (QStringList{QStringLiteral("人员 b2 已在必须同组要求中分配座位，跳过重复分配"),
                                     QStringLiteral("人员 b3 已在必须同组要求中分配座位，跳过重复分配")}));
    for (PersonId id : {1, 2, 3})
        QCOMPARE(occurrences(state.groups, id), 1);
}

void TestPlacement::together_firstDrawsShuffleTheCandidateGroups()
{
    // Draw order of a run: candidate groups, then the boys' pool, then the
    // girls' pool, all from one generator seeded with the first seed.
    ClassModel model = makeClass(names(QStringLiteral("b"), 6), names(QStringLiteral("g"), 6));
    for (int number = 1; number <= 3; ++number)
        enableGroup(model, number, 4, 2, 2);
    model.mustTogether = {{1}};
    const quint32 seed = 20240611u;

    std::mt19937 replay(seed);
    QList<int> candidates{0, 1, 2};
    shuffleList(candidates, replay);
    QList<PersonId> boys{2, 3, 4, 5, 6};
    shuffleList(boys, replay);
    QList<PersonId> girls{7, 8, 9, 10, 11, 12};
    shuffleList(girls, replay);

    const int together = candidates.first();
    QStringList expected;
    auto line = [&model](const char *format, PersonId id, int group, int seat) {
        return QString::fromUtf8(format).arg(model.nameOf(id)).arg(group).arg(seat);
    };
    // The 必须同组 group fills its quotas around b1 like every other group.
    int nextGirl = 0;
    int nextBoy = 0;
    for (int p = 0; p < 3; ++p) {
        const int first = p == together ? 2 : 1;
        expected << line("分配女生 %1 到组%2座位%3", girls.at(nextGirl), p + 1, first)
                 << line("分配女生 %1 到组%2座位%3", girls.at(nextGirl + 1), p + 1, first + 1);
        nextGirl += 2;
    }
    for (int p = 0; p < 3; ++p) {
        expected << line("分配男生 %1 到组%2座位%3", boys.at(nextBoy++), p + 1, 4 - (p == together ? 0 : 1));
        if (p != together)
            expected << line("分配男生 %1 到组%2座位%3", boys.at(nextBoy++), p + 1, 4);
    }

    LogCapture log;
    WorkingState state(model, log.sink(), CountingSeeds(seed).source());
    QVERIFY(Placement::prepare(state));
    Placement::placeFixedPositions(state);
    Placement::placeTogetherRequirements(state);
    QCOMPARE(state.groups.at(together).first(), 1);
    Filling::fillSeats(state);
    QCOMPARE(log.lines, expected);
}

void TestPlacement::together_pinnedMemberBringsItsRequirement_data()
{
    // Groups 1-3 of four seats; the candidate order comes from the seed, and
    // a pin names the candidate by its place in that order (0 = first).
    QTest::addColumn<QList<Constraint>>("requirements");
    QTest::addColumn<Places>("pins");
    QTest::addColumn<Places>("expected");

    // b1..b3 are 1..3, g1..g3 are 4..6.
    QTest::newRow("pinned member's group, not the first candidate")
        << QList<Constraint>{{1, 4}} << Places{{4, 2}}
        << Places{{1, 2}, {4, 2}};
    QTest::newRow("pinned member later in the requirement")
        << QList<Constraint>{{1, 2, 5}} << Places{{5, 1}}
        << Places{{1, 1}, {2, 1}, {5, 1}};
    QTest::newRow("group already taken: the first candidate left")
        << QList<Constraint>{{1, 4}, {2, 5}} << Places{{4, 2}, {5, 2}}
        << Places{{1, 2}, {2, 0}};
    QTest::newRow("first candidate left to a later requirement's pin")
        << QList<Constraint>{{1, 2}, {3, 4}} << Places{{4, 0}} << Places{{1, 1}, {2, 1}, {3, 0}, {4, 0}};
    QTest::newRow("first candidate without room for all members")
        << QList<Constraint>{{1, 2, 3}} << Places{{4, 0}, {5, 0}} << Places{{1, 1}, {2, 1}, {3, 1}};
}

void TestPlacement::together_pinnedMemberBringsItsRequirement()
{
    QFETCH(QList<Constraint>, requirements);
    QFETCH(Places, pins);
    QFETCH(Places, expected);

    ClassModel model = makeClass(names(QStringLiteral("b"), 3), names(QStringLiteral("g"), 3));
    for (int number = 1; number <= 3; ++number)
        enableGroup(model, number, 4, 2, 2);
    const quint32 seed = 77;
    std::mt19937 replay(seed);
    QList<int> order{0, 1, 2};
    shuffleList(order, replay);
    for (qsizetype k = 0; k < pins.size(); ++k)
        model.fixedPositions.insert(pins.at(k).first, FixedPosition{order.at(pins.at(k).second) + 1, int(k) + 1});
    model.mustTogether = requirements;

    LogCapture log;
    WorkingState state(model, log.sink(), CountingSeeds(seed).source());
    QVERIFY(Placement::prepare(state));
    Placement::placeFixedPositions(state);
    Placement::placeTogetherRequirements(state);
    for (const auto &[person, place] : expected)
        QVERIFY2(state.groups.at(order.at(place)).contains(person), qPrintable(model.nameOf(person)));
    const QList<PersonId> members = requirements.first() + requirements.last();
    for (const auto &[person, place] : pins)
        QVERIFY(!members.contains(person) || log.lines.contains(QStringLiteral("人员 %1 已被固定位置占用，跳过要求分配").arg(model.nameOf(person))));
}

void TestPlacement::together_takesAGroupWhoseTargetsFitItsMembers()
{
    // Three girls must sit together; only group 2 asks for three girls.
    ClassModel model = makeClass(names(QStringLiteral("b"), 5), names(QStringLiteral("g"), 7));
    enableGroup(model, 1, 4, 2, 2);
    enableGroup(model, 2, 4, 1, 3);
    enableGroup(model, 3, 4, 2, 2);
    model.mustTogether = {{6, 7, 8}};
    for (quint32 seed = 1; seed <= 6; ++seed) {
        WorkingState state(model, LogSink(), CountingSeeds(seed).source());
        QVERIFY(Placement::prepare(state));
        Placement::placeTogetherRequirements(state);
        QCOMPARE(state.groups.at(1), (Group{6, 7, 8, 0}));
    }
}

void TestPlacement::filling_quotaCountsGirlsAlreadySeated()
{
    ClassModel model = makeClass(names(QStringLiteral("b"), 3), names(QStringLiteral("g"), 5));
    enableGroup(model, 1, 6, 2, 4);
    model.fixedPositions = {{4, {1, 1}}, {5, {1, 2}}};
    LogCapture log;
    WorkingState state(model, log.sink(), CountingSeeds(3).source());
    QVERIFY(Placement::prepare(state));
    Placement::placeFixedPositions(state);
    log.lines.clear();
    Filling::fillSeats(state);

    QCOMPARE(shapes(log.lines), (QStringList{
                                    QStringLiteral("分配女生 * 到组1座位3"),
                                    QStringLiteral("分配女生 * 到组1座位4"),
                                    QStringLiteral("分配男生 * 到组1座位5"),
                                    QStringLiteral("分配男生 * 到组1座位6"),
                                    QStringLiteral("警告: 无法分配所有女生，可能座位不足"),
                                    QStringLiteral("警告: 无法分配所有男生，可能座位不足"),
                                }));
}

void TestPlacement::filling_requirementGroupTakesItsRemainingQuota()
{
    ClassModel model = makeClass({}, names(QStringLiteral("g"), 9));
    for (int number = 1; number <= 3; ++number)
        enableGroup(model, number, 4, 0, number == 2 ? 2 : 1);
    LogCapture log;
    WorkingState state(model, log.sink(), CountingSeeds(5).source());
    QVERIFY(Placement::prepare(state));
    state.requirementGroup[1] = true; // group 2 holds a 必须同组 requirement: g7
    state.groups[1][0] = 7;
    state.unassigned.remove(7);
    Filling::fillSeats(state);

    QCOMPARE(shapes(log.lines), (QStringList{
                                    QStringLiteral("分配女生 * 到组1座位1"),
                                    QStringLiteral("分配女生 * 到组2座位2"),
                                    QStringLiteral("分配女生 * 到组3座位1"),
                                    QStringLiteral("分配剩余女生 * 到组1座位2"),
                                    QStringLiteral("分配剩余女生 * 到组2座位3"),
                                    QStringLiteral("分配剩余女生 * 到组3座位2"),
                                    QStringLiteral("分配剩余女生 * 到组1座位3"),
                                    QStringLiteral("分配剩余女生 * 到组2座位4"),
                                }));
}

void TestPlacement::filling_nobodyBeyondCapacity()
{
    ClassModel model = makeClass(names(QStringLiteral("b"), 5), names(QStringLiteral("g"), 5));
    enableGroup(model, 1, 3, 1, 2);
    enableGroup(model, 2, 4, 2, 2);
    LogCapture log;
    WorkingState state(model, log.sink(), CountingSeeds(9).source());
    QVERIFY(Placement::prepare(state));
    Filling::fillSeats(state);
    int seated = 0;
    for (PersonId id = 1; id <= 10; ++id) {
        QVERIFY(occurrences(state.groups, id) <= 1);
        seated += occurrences(state.groups, id);
    }
    QCOMPARE(seated, 7);
    QVERIFY(!state.groups.at(0).contains(0) && !state.groups.at(1).contains(0));
    QVERIFY(log.lines.contains(QStringLiteral("警告: 无法分配所有男生，可能座位不足")));
}

QTEST_GUILESS_MAIN(TestPlacement)
#include "test_placement.moc"
