// Whole runs: the demo class, replay from seeds, and properties over many
// random classes.
#include "common/enginefixtures.h"
#include "common/solvableclass.h"

#include "core/storage/configstore.h"
#include "core/engine/balancing.h"
#include "core/engine/engine.h"
#include "core/engine/filling.h"
#include "core/engine/leaders.h"
#include "core/engine/placement.h"
#include "core/engine/requirementverdict.h"
#include "core/engine/workingstate.h"

#include "common/testenvironment.h"

#include <QTest>

using namespace Fixtures;

namespace {

struct Outcome
{
    Grouping groups;
    QStringList lines;
    int seedsTaken = 0;
};

Outcome run(const ClassModel &model, quint32 firstSeed)
{
    Outcome outcome;
    CountingSeeds seeds(firstSeed);
    outcome.groups = Engine::buildGroups(
        model, [&outcome](const QString &line) { outcome.lines.append(line); }, seeds.source());
    outcome.seedsTaken = *seeds.calls;
    return outcome;
}

// Unmet 必须同组 and 不能同组 requirements as (kind, index).
QSet<QPair<int, int>> unmetRequirements(const ClassModel &model, const Grouping &groups)
{
    QSet<QPair<int, int>> unmet;
    for (const RequirementResult &result : judgeRequirements(model, groups).unmet) {
        if (result.kind == RequirementKind::MustTogether || result.kind == RequirementKind::MustSeparate)
            unmet.insert({int(result.kind), result.requirement});
    }
    return unmet;
}

QList<QPair<int, int>> genderCounts(const WorkingState &state)
{
    QList<QPair<int, int>> counts;
    for (const Group &group : state.groups) {
        QPair<int, int> count{0, 0};
        for (PersonId id : group) {
            if (id != 0)
                ++(state.isBoy(id) ? count.first : count.second);
        }
        counts.append(count);
    }
    return counts;
}

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void noEnabledGroup_returnsNothingAndTakesNoSeed();
    void demoClass_seatsEverybodyAndExplainsItself();
    void demoClass_replaysFromTheSameSeeds();
    void namesAreLoggedVerbatim();
    void numbersOffTheRosterNeverTakeASeat();
    void property_everyRunIsAValidGrouping();
    void property_swapsKeepGenderCountsImmovablePersonsAndRequirements();
};

void TestEngine::noEnabledGroup_returnsNothingAndTakesNoSeed()
{
    ClassModel model = makeClass(names(QStringLiteral("b"), 3), names(QStringLiteral("g"), 3));
    const Outcome outcome = run(model, 1);
    QVERIFY(outcome.groups.isEmpty());
    QVERIFY(outcome.lines.isEmpty());
    QCOMPARE(outcome.seedsTaken, 0);
}

void TestEngine::demoClass_seatsEverybodyAndExplainsItself()
{
    const ClassModel model = loadDemoClass();
    QCOMPARE(model.personCount(), 54);
    const Outcome outcome = run(model, 2024);

    QCOMPARE(outcome.groups.size(), 9);
    QList<PersonId> seated;
    for (const Group &group : outcome.groups) {
        QCOMPARE(group.size(), 6);
        seated += group;
    }
    std::sort(seated.begin(), seated.end());
    for (int i = 0; i < seated.size(); ++i)
        QCOMPARE(seated.at(i), i + 1);

    const QStringList &lines = outcome.lines;
    QCOMPARE(lines.first(), QStringLiteral("处理固定位置: 张宇航 到组1座位1"));
    QCOMPARE(lines.last(), QStringLiteral("分组完成"));
    for (const char *step : {"进行最终性别分组排列...", "处理不能同组要求...", "平衡外宿生分布（不移动组长）...",
                             "开始优化固定位置分配...", "开始最终验证..."})
        QCOMPARE(lines.count(QString::fromUtf8(step)), 1);
    const qsizetype order = lines.indexOf(QStringLiteral("进行最终性别分组排列..."));
    QVERIFY(order < lines.indexOf(QStringLiteral("处理不能同组要求...")));
    QVERIFY(lines.indexOf(QStringLiteral("开始优化固定位置分配...")) < lines.indexOf(QStringLiteral("开始最终验证...")));
    // The three fixed persons end where they were pinned.
    QCOMPARE(outcome.groups.at(0).first(), 3);
    QVERIFY(lines.contains(QStringLiteral("✓ 固定位置验证通过: 唐诗涵 在组4座位6")));
    QVERIFY(lines.contains(QStringLiteral("✓ 固定位置验证通过: 吕梓涵 在组9座位2")));
}

void TestEngine::demoClass_replaysFromTheSameSeeds()
{
    const ClassModel model = loadDemoClass();
    const Outcome first = run(model, 99);
    const Outcome second = run(model, 99);
    QCOMPARE(second.groups, first.groups);
    QCOMPARE(second.lines, first.lines);
    QCOMPARE(second.seedsTaken, first.seedsTaken);

    const Outcome other = run(model, 100);
    QVERIFY(other.groups != first.groups);
}

void TestEngine::namesAreLoggedVerbatim()
{
    ClassModel model = makeClass({QStringLiteral("%2甲"), QStringLiteral("<b>乙</b>")}, {QStringLiteral("丙%1")});
    enableGroup(model, 1, 3, 2, 1);
    model.fixedPositions = {{1, {1, 1}}};
    const Outcome outcome = run(model, 5);
    QVERIFY(outcome.lines.contains(QStringLiteral("处理固定位置: %2甲 到组1座位1")));
    QVERIFY(outcome.lines.contains(QStringLiteral("分配男生 <b>乙</b> 到组1座位3")));
    QVERIFY(outcome.lines.contains(QStringLiteral("分配女生 丙%1 到组1座位2")));
    QVERIFY(outcome.lines.contains(QStringLiteral("✓ 固定位置验证通过: %2甲 在组1座位1")));
}

void TestEngine::numbersOffTheRosterNeverTakeASeat()
{
    ClassModel model = makeClass(names(QStringLiteral("b"), 2), names(QStringLiteral("g"), 2));
    enableGroup(model, 1, 4, 2, 2);
    enableGroup(model, 2, 4, 2, 2);
    model.fixedPositions = {{0, {1, 1}}, {9, {2, 1}}};
    model.mustTogether = {{1, 5}};
    model.mustSeparate = {{0, 2}};
    const Outcome outcome = run(model, 8);

    for (const Group &group : outcome.groups) {
        for (PersonId id : group)
            QVERIFY2(id >= 1 && id <= 4, qPrintable(QString::number(id)));
    }
    for (const char *line : {"错误: 固定位置中的人员编号0不在名单中，已跳过", "错误: 固定位置中的人员编号9不在名单中，已跳过",
                             "错误: 必须同组要求中的人员编号5不在名单中，已跳过",
                             "错误: 不能同组要求中的人员编号0不在名单中，已跳过"})
        QCOMPARE(outcome.lines.count(QString::fromUtf8(line)), 1);
    QVERIFY(!outcome.lines.join(u'\n').contains(QStringLiteral("验证失败")));
}

void TestEngine::property_everyRunIsAValidGrouping()
{
    std::mt19937 random(4711);
    for (int round = 0; round < 400; ++round) {
        const ClassModel model = round % 2 == 0 ? anyClass(random) : Solvable::makeClass(random).model;
        const quint32 seed = random();
        const Outcome outcome = run(model, seed);
        const QString where = QStringLiteral("round %1, seed %2").arg(round).arg(seed);

        const QList<int> enabled = model.enabledGroupIndexes();
        QVERIFY2(outcome.groups.size() == enabled.size(), qPrintable(where));
        int seats = 0;
        QList<int> times(model.personCount() + 1, 0);
        for (int p = 0; p < enabled.size(); ++p) {
            const int total = model.groupConfigs.at(enabled.at(p)).total;
            seats += total;
            QVERIFY2(outcome.groups.at(p).size() <= total, qPrintable(where));
            for (PersonId id : outcome.groups.at(p)) {
                QVERIFY2(model.isOnRoster(id), qPrintable(where));
                QVERIFY2(++times[id] == 1, qPrintable(where));
            }
        }
        if (!enabled.isEmpty()) {
            const int seated = int(times.count(1));
            QVERIFY2(seated == std::min(seats, model.personCount()), qPrintable(where));
            QVERIFY2(outcome.lines.last() == QStringLiteral("分组完成"), qPrintable(where));
        }

        const Outcome replay = run(model, seed);
        QVERIFY2(replay.groups == outcome.groups && replay.lines == outcome.lines, qPrintable(where));
    }
}

void TestEngine::property_swapsKeepGenderCountsImmovablePersonsAndRequirements()
{
    std::mt19937 random(815);
    for (int round = 0; round < 400; ++round) {
        const ClassModel model = round % 2 == 0 ? anyClass(random) : Solvable::makeClass(random).model;
        const QString where = QStringLiteral("round %1").arg(round);
        LogCapture log;
        WorkingState state(model, log.sink(), CountingSeeds(random()).source());
        if (!Placement::prepare(state))
            continue;
        Placement::placeFixedPositions(state);
        Placement::placeTogetherRequirements(state);
        Filling::fillSeats(state);
        Leaders::placeUnseatedLeaders(state);
        Leaders::resolveConflicts(state);
        Balancing::collectImmovable(state);
        Balancing::orderByGender(state);

        const auto counts = genderCounts(state);
        QList<QPair<int, int>> pinned; // (group position, seat) of every immovable person
        QList<PersonId> immovable;
        for (int p = 0; p < state.groups.size(); ++p) {
            for (int i = 0; i < state.groups.at(p).size(); ++i) {
                if (state.immovable.contains(state.groups.at(p).at(i))) {
                    immovable.append(state.groups.at(p).at(i));
                    pinned.append({p, i});
                }
            }
        }
        Balancing::separateRequirements(state);
        const QSet<QPair<int, int>> unmetBefore = unmetRequirements(model, state.groups);
        Balancing::balanceBoarders(state);

        QVERIFY2(unmetRequirements(model, state.groups).subtract(unmetBefore).isEmpty(), qPrintable(where));
        QVERIFY2(genderCounts(state) == counts, qPrintable(where));
        for (int k = 0; k < immovable.size(); ++k)
            QVERIFY2(state.groups.at(pinned.at(k).first).at(pinned.at(k).second) == immovable.at(k), qPrintable(where));
    }
}

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
