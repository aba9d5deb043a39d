// Bringing fixed persons to their seats by chains of swaps.
#include "common/enginefixtures.h"

#include "core/engine/swappaths.h"

#include <QTest>

using namespace Fixtures;

namespace {

constexpr PersonId b1 = 1, b2 = 2, b3 = 3, b4 = 4, b5 = 5, g1 = 7, g2 = 8, g3 = 9, g4 = 10, g5 = 11, g6 = 12;

// Groups 1, 2 and 4 take part (positions 0, 1, 2), three seats each.
ClassModel makeScene()
{
    ClassModel model = makeClass(names(QStringLiteral("b"), 6), names(QStringLiteral("g"), 6));
    enableGroup(model, 1, 3, 2, 1);
    enableGroup(model, 2, 3, 1, 2);
    enableGroup(model, 4, 3, 1, 2);
    return model;
}

const Grouping kStart{{b1, g1, b2}, {b3, g2, g3}, {b4, g4, 0}};

using FixedMap = QMap<PersonId, FixedPosition>;

// The search written out plainly: a queue of (seat, steps so far) and a set of
// visited "group-seat" keys, every neighbour tested on every visit.
QList<SwapPaths::Step> plainSearch(const Grouping &groups, const ClassModel &model, SwapPaths::Seat start,
                                   SwapPaths::Seat target)
{
    struct Node
    {
        SwapPaths::Seat seat;
        QList<SwapPaths::Step> steps;
    };
    auto key = [](SwapPaths::Seat seat) { return QStringLiteral("%1-%2").arg(seat.position).arg(seat.index); };
    const QChar gender = model.genderOf(groups.at(start.position).at(start.index));
    QList<Node> queue{{start, {}}};
    QSet<QString> visited{key(start)};
    while (!queue.isEmpty()) {
        const Node node = queue.takeFirst();
        if (node.seat == target)
            return node.steps;
        const int r = node.seat.position;
        for (int i = 0; i < groups.at(r).size(); ++i) {
            const SwapPaths::Seat next{r, i};
            if (i != node.seat.index && !visited.contains(key(next))) {
                visited.insert(key(next));
                queue.append({next, node.steps + QList<SwapPaths::Step>{{node.seat, next}}});
            }
        }
        for (int j = 0; j < groups.size(); ++j) {
            for (int k = 0; j != r && k < groups.at(j).size(); ++k) {
                const SwapPaths::Seat next{j, k};
                if (model.genderOf(groups.at(j).at(k)) == gender && !visited.contains(key(next))) {
                    visited.insert(key(next));
                    queue.append({next, node.steps + QList<SwapPaths::Step>{{node.seat, next}}});
                }
            }
        }
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(SwapPaths::Step)

class TestSwapPaths : public QObject
{
    Q_OBJECT

private slots:
    void optimize_data();
    void optimize();
    void findSwapPath_searchesTheGroupingAsItStands();
    void swaps_refuseInvalidSeatsAndMixedGenders();
    void findSwapPath_agreesWithThePlainSearch();
};

void TestSwapPaths::optimize_data()
{
    QTest::addColumn<Grouping>("before");
    QTest::addColumn<FixedMap>("fixed");
    QTest::addColumn<Grouping>("after");
    QTest::addColumn<QStringList>("lines");

    const QString begin = QStringLiteral("开始优化固定位置分配...");
    const QString oneSuccess = QStringLiteral("固定位置优化完成: 成功 1, 失败 0");
    const QString oneFailure = QStringLiteral("固定位置优化完成: 成功 0, 失败 1");

    QTest::newRow("already in place") << kStart << FixedMap{{b1, {1, 1}}} << kStart << QStringList{begin, oneSuccess};
    QTest::newRow("same group: one within-group swap")
        << kStart << FixedMap{{b1, {1, 3}}} << Grouping{{b2, g1, b1}, {b3, g2, g3}, {b4, g4, 0}}
        << QStringList{begin, QStringLiteral("组内交换: 位置1 ↔ 位置3"), QStringLiteral("成功移动 b1 到组1位置3"),
                       oneSuccess};
    QTest::newRow("other group, same-gender occupant: one cross swap")
        << kStart << FixedMap{{b1, {2, 1}}} << Grouping{{b3, g1, b2}, {b1, g2, g3}, {b4, g4, 0}}
        << QStringList{begin, QStringLiteral("跨组交换: 组1位置1 ↔ 组2位置1"), QStringLiteral("成功移动 b1 到组2位置1"),
                       oneSuccess};
    QTest::newRow("other-gender occupant: cross to the lowest boy, then within")
        << Grouping{{b1, g1, b2}, {b3, g2, g3}, {g4, b4, b5}} << FixedMap{{b1, {4, 1}}}
        << Grouping{{b4, g1, b2}, {b3, g2, g3}, {b1, g4, b5}}
        << QStringList{begin, QStringLiteral("跨组交换: 组1位置1 ↔ 组4位置2"), QStringLiteral("组内交换: 位置2 ↔ 位置1"),
                       QStringLiteral("成功移动 b1 到组4位置1"), oneSuccess};
    QTest::newRow("target group without a boy: no path")
        << Grouping{{b1, g1, b2}, {g5, g2, g3}, {b4, g4, 0}} << FixedMap{{b1, {2, 2}}}
        << Grouping{{b1, g1, b2}, {g5, g2, g3}, {b4, g4, 0}}
        << QStringList{begin, QStringLiteral("错误: 无法找到从组1位置1到组2位置2的交换路径"),
                       QStringLiteral("固定位置分配失败: b1 到组2位置2"), oneFailure};
    QTest::newRow("empty seat reached directly by a girl")
        << kStart << FixedMap{{g1, {4, 3}}} << Grouping{{b1, 0, b2}, {b3, g2, g3}, {b4, g4, g1}}
        << QStringList{begin, QStringLiteral("跨组交换: 组1位置2 ↔ 组4位置3"), QStringLiteral("成功移动 g1 到组4位置3"),
                       oneSuccess};
    QTest::newRow("empty seat reached by a boy through a boy's seat")
        << kStart << FixedMap{{b1, {4, 3}}} << Grouping{{b4, g1, b2}, {b3, g2, g3}, {0, g4, b1}}
        << QStringList{begin, QStringLiteral("跨组交换: 组1位置1 ↔ 组4位置1"), QStringLiteral("组内交换: 位置1 ↔ 位置3"),
                       QStringLiteral("成功移动 b1 到组4位置3"), oneSuccess};
    QTest::newRow("fixed person without a seat")
        << kStart << FixedMap{{g6, {1, 1}}} << kStart
        << QStringList{begin, QStringLiteral("错误: 人员 g6 不在当前分组中"), oneFailure};
    QTest::newRow("group not enabled")
        << kStart << FixedMap{{b1, {3, 1}}} << kStart
        << QStringList{begin, QStringLiteral("固定位置分配失败: b1 到组3位置1"), oneFailure};
    QTest::newRow("seat beyond the group")
        << kStart << FixedMap{{b1, {1, 5}}} << kStart
        << QStringList{begin, QStringLiteral("错误: 无法找到从组1位置1到组1位置5的交换路径"),
                       QStringLiteral("固定位置分配失败: b1 到组1位置5"), oneFailure};
    QTest::newRow("number off the roster is left out")
        << kStart << FixedMap{{40, {1, 1}}} << kStart
        << QStringList{begin, QStringLiteral("固定位置优化完成: 成功 0, 失败 0")};
    QTest::newRow("entries in ascending person order")
        << kStart << FixedMap{{g2, {1, 2}}, {b1, {2, 1}}} << Grouping{{b3, g2, b2}, {b1, g1, g3}, {b4, g4, 0}}
        << QStringList{begin,
                       QStringLiteral("跨组交换: 组1位置1 ↔ 组2位置1"),
                       QStringLiteral("成功移动 b1 到组2位置1"),
                       QStringLiteral("跨组交换: 组2位置2 ↔ 组1位置2"),
                       QStringLiteral("成功移动 g2 到组1位置2"),
                       QStringLiteral("固定位置优化完成: 成功 2, 失败 0")};
}

void TestSwapPaths::optimize()
{
    QFETCH(Grouping, before);
    QFETCH(FixedMap, fixed);
    QFETCH(Grouping, after);
    QFETCH(QStringList, lines);

    ClassModel model = makeScene();
    model.fixedPositions = fixed;
    LogCapture log;
    Grouping groups = before;
    SwapPaths(groups, model, log.sink()).optimizeFixedPositions();
    QCOMPARE(log.lines, lines);
    QCOMPARE(groups, after);
}

void TestSwapPaths::findSwapPath_searchesTheGroupingAsItStands()
{
    const ClassModel model = makeScene();
    Grouping groups{{b1, g1, b2}, {b3, g2, g3}, {g4, b4, b5}};
    const Grouping before = groups;
    LogCapture log;
    SwapPaths paths(groups, model, log.sink());

    const QList<SwapPaths::Step> path = paths.findSwapPath({0, 0}, {2, 0});
    QCOMPARE(path.size(), 2);
    QCOMPARE(path.at(0).from, (SwapPaths::Seat{0, 0}));
    QCOMPARE(path.at(0).to, (SwapPaths::Seat{2, 1}));
    QCOMPARE(path.at(1).from, (SwapPaths::Seat{2, 1}));
    QCOMPARE(path.at(1).to, (SwapPaths::Seat{2, 0}));
    QCOMPARE(groups, before); // searching changes nothing
    QVERIFY(log.lines.isEmpty());

    QVERIFY(paths.findSwapPath({0, 0}, {0, 0}).isEmpty()); // already there: no steps
    QVERIFY(paths.findSwapPath({0, 1}, {2, 5}).isEmpty()); // no such seat
    QVERIFY(paths.findSwapPath({4, 0}, {0, 0}).isEmpty()); // no such start
}

void TestSwapPaths::swaps_refuseInvalidSeatsAndMixedGenders()
{
    const ClassModel model = makeScene();
    Grouping groups = kStart;
    LogCapture log;
    SwapPaths paths(groups, model, log.sink());

    QVERIFY(!paths.swapAcrossGroups(0, 0, 1, 1));
    QCOMPARE(log.lines, QStringList{QStringLiteral("错误: 跨组交换需要同性别人员")});
    log.lines.clear();
    QVERIFY(!paths.swapAcrossGroups(0, 3, 1, 0));
    QVERIFY(!paths.swapAcrossGroups(3, 0, 1, 0));
    QVERIFY(!paths.swapWithinGroup(0, 0, 3));
    QVERIFY(!paths.swapWithinGroup(-1, 0, 1));
    QVERIFY(!paths.movePerson(g6, 0, 0));
    QCOMPARE(log.lines, QStringList{QStringLiteral("错误: 未找到人员 g6")});
    QCOMPARE(groups, kStart);

    log.lines.clear();
    QVERIFY(paths.swapAcrossGroups(0, 1, 2, 2)); // a girl and an empty seat
    QCOMPARE(log.lines, QStringList{QStringLiteral("跨组交换: 组1位置2 ↔ 组4位置3")});
}

void TestSwapPaths::findSwapPath_agreesWithThePlainSearch()
{
    std::mt19937 random(2718);
    for (int round = 0; round < 500; ++round) {
        ClassModel model = makeClass(names(QStringLiteral("b"), 8), names(QStringLiteral("g"), 8));
        const int groupCount = 1 + int(random() % 4);
        Grouping groups;
        for (int p = 0; p < groupCount; ++p) {
            const int seats = 1 + int(random() % 5);
            enableGroup(model, p + 1, seats, 0, 0);
            Group group;
            for (int i = 0; i < seats; ++i)
                group.append(PersonId(random() % 17)); // 0 = empty; repeats do not matter here
            groups.append(group);
        }
        const int startGroup = int(random() % quint32(groupCount));
        const SwapPaths::Seat start{startGroup, int(random() % quint32(groups.at(startGroup).size()))};
        const int targetGroup = int(random() % quint32(groupCount));
        const SwapPaths::Seat target{targetGroup, int(random() % quint32(groups.at(targetGroup).size() + 1))};

        LogCapture log;
        const QList<SwapPaths::Step> expected = plainSearch(groups, model, start, target);
        const QList<SwapPaths::Step> found = SwapPaths(groups, model, log.sink()).findSwapPath(start, target);
        QCOMPARE(found.size(), expected.size());
        for (int k = 0; k < found.size(); ++k) {
            QVERIFY(found.at(k).from == expected.at(k).from);
            QVERIFY(found.at(k).to == expected.at(k).to);
        }
    }
}

QTEST_GUILESS_MAIN(TestSwapPaths)
#include "test_swappaths.moc"
