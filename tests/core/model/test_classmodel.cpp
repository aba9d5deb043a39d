#include "core/model/classmodel.h"

#include <QTest>

class TestClassModel : public QObject
{
    Q_OBJECT

private slots:
    // Numbering and name maps
    void numbersBoysFirstThenGirls();
    void duplicateNameKeepsLastNumber();
    void noBoysMakesEveryoneAGirl();
    void unknownNumberHasEmptyName();
    void leaderOffRosterIsNobody();

    // Groups
    void defaultsTakeNineGroupsOfSix();
    void groupPositionsFollowEnabledRecords();
    void personGroupMapLaterOccurrenceWins();
};

namespace {
} // namespace

void TestClassModel::numbersBoysFirstThenGirls()
{
    const ClassModel model = ClassModel::fromRoster({"甲", "乙"}, {"丙", "丁", "戊"});
    QCOMPARE(model.nameToId.value("甲"), 1);
    QCOMPARE(model.nameToId.value("乙"), 2);
    QCOMPARE(model.nameToId.value("丙"), 3);
    QCOMPARE(model.nameToId.value("戊"), 5);
    QCOMPARE(model.idToName.value(4), QString("丁"));
    QCOMPARE(model.genderOf(2), QChar(u'M'));
    QCOMPARE(model.genderOf(3), QChar(u'F'));
    QCOMPARE(model.genderOf(0), QChar(u'F'));
    QVERIFY(model.isOnRoster(5));
    QVERIFY(!model.isOnRoster(6));
    QVERIFY(!model.isOnRoster(0));
}

void TestClassModel::duplicateNameKeepsLastNumber()
{
    const ClassModel model = ClassModel::fromRoster({"同名", "乙"}, {"同名"});
    QCOMPARE(model.nameToId.value("同名"), 3);
    QCOMPARE(model.idToName.value(1), QString("同名"));
    QCOMPARE(model.idToName.value(3), QString("同名"));
    QCOMPARE(model.nameToId.size(), 2);
    QCOMPARE(model.idToName.size(), 3);
}

void TestClassModel::noBoysMakesEveryoneAGirl()
{
    const ClassModel model = ClassModel::fromRoster({}, {"甲", "乙"});
    QCOMPARE(model.nameToId.value("甲"), 1);
    QCOMPARE(model.genderOf(1), QChar(u'F'));
    QCOMPARE(model.genderOf(2), QChar(u'F'));
}

void TestClassModel::unknownNumberHasEmptyName()
{
    ClassModel model = ClassModel::fromRoster({"甲"}, {});
    model.leaderNames = {QString()};
    QCOMPARE(model.nameOf(9), QString());
    QCOMPARE(model.nameOf(0), QString());
    model.boarderNames = {QString()};
    // An empty name in a hand-edited list must not turn empty seats and
    // unknown numbers into leaders or boarders.
    QVERIFY(!model.isLeader(0));
    QVERIFY(!model.isLeader(9));
    QVERIFY(!model.isBoarder(0));
}

void TestClassModel::leaderOffRosterIsNobody()
{
    ClassModel model = ClassModel::fromRoster({"甲"}, {"乙"});
    model.leaderNames = {"丙"};
    QVERIFY(!model.nameToId.contains("丙"));
    QVERIFY(!model.isLeader(1));
    QVERIFY(!model.isLeader(2));
}

void TestClassModel::defaultsTakeNineGroupsOfSix()
{
    const ClassModel model;
    QCOMPARE(model.groupConfigs.size(), 10);
    for (int i = 0; i < 9; ++i) {
        QCOMPARE(model.groupConfigs.at(i), (GroupConfig{true, 6, 2, 4}));
    }
    QCOMPARE(model.groupConfigs.at(9), (GroupConfig{false, 0, 2, 4}));
    QCOMPARE(model.enabledGroupIndexes().size(), 9);
}

void TestClassModel::groupPositionsFollowEnabledRecords()
{
    ClassModel model;
    for (GroupConfig &config : model.groupConfigs)
        config.enabled = false;
    model.groupConfigs[0].enabled = true;
    model.groupConfigs[1].enabled = true;
    model.groupConfigs[3].enabled = true;
    QCOMPARE(model.enabledGroupIndexes(), (QList<int>{0, 1, 3}));
    QCOMPARE(model.groupNumberOfPosition(2), 4);
    QCOMPARE(model.positionOfGroupNumber(4), 2);
    QCOMPARE(model.positionOfGroupNumber(3), -1);
    QCOMPARE(model.positionOfGroupNumber(11), -1);
    QCOMPARE(model.groupNumberOfPosition(3), 0);
}

void TestClassModel::personGroupMapLaterOccurrenceWins()
{
    const Grouping groups{{1, 2}, {3}, {2}};
    const QMap<PersonId, int> map = personGroupMap(groups);
    QCOMPARE(map.value(1), 0);
    QCOMPARE(map.value(2), 2);
    QCOMPARE(map.value(3), 1);
    QCOMPARE(map.value(99), 0);
}

QTEST_GUILESS_MAIN(TestClassModel)
#include "test_classmodel.moc"
