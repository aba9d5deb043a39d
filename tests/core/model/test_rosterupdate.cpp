// Roster lines and fixed positions carried across a roster edit.
#include "core/model/classmodel.h"
#include "core/model/rosterupdate.h"

#include <QTest>

using PinMap = QMap<PersonId, FixedPosition>;

namespace {


} // namespace

class TestRosterUpdate : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void remap_data();
    void remap();
    void draftFollowsStudentsByName();
};

void TestRosterUpdate::lines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("blank lines dropped") << QStringLiteral("\n甲\n\n\n乙\n") << QStringList{QStringLiteral("甲"), QStringLiteral("乙")};
    QTest::newRow("blanks kept") << QStringLiteral("甲 \n 乙\n  ")
                                 << QStringList{QStringLiteral("甲 "), QStringLiteral(" 乙"), QStringLiteral("  ")};
}

void TestRosterUpdate::lines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(nonEmptyLines(text), expected);
}

void TestRosterUpdate::remap_data()
{
    QTest::addColumn<QStringList>("oldBoys");
    QTest::addColumn<QStringList>("oldGirls");
    QTest::addColumn<QStringList>("newBoys");
    QTest::addColumn<QStringList>("newGirls");
    QTest::addColumn<PinMap>("pins");
    QTest::addColumn<PinMap>("expected");
    QTest::addColumn<int>("renumbered");
    QTest::addColumn<int>("dropped");

    const QStringList boys = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")};
    const QStringList girls = {QStringLiteral("丁"), QStringLiteral("戊")};
    const PinMap pins = {{1, {1, 1}}, {3, {2, 2}}, {5, {3, 3}}};

    QTest::newRow("unchanged roster") << boys << girls << boys << girls << pins << pins << 0 << 0;
    QTest::newRow("name inserted at the top")
        << boys << girls << (QStringList{QStringLiteral("新")} + boys) << girls << pins
        << PinMap{{2, {1, 1}}, {4, {2, 2}}, {6, {3, 3}}} << 3 << 0;
    QTest::newRow("pinned student left")
        << boys << girls << QStringList{QStringLiteral("甲"), QStringLiteral("乙")} << girls << pins
        << PinMap{{1, {1, 1}}, {4, {3, 3}}} << 1 << 1;
    QTest::newRow("student moved to the other list")
        << boys << girls << QStringList{QStringLiteral("甲"), QStringLiteral("乙")}
        << QStringList{QStringLiteral("丁"), QStringLiteral("戊"), QStringLiteral("丙")} << pins
        << PinMap{{1, {1, 1}}, {5, {2, 2}}, {4, {3, 3}}} << 2 << 0;
    QTest::newRow("number without a name stays while it names nobody")
        << boys << girls << boys << (girls + QStringList{QStringLiteral("己")}) << PinMap{{9, {4, 1}}, {0, {4, 2}}}
        << PinMap{{9, {4, 1}}, {0, {4, 2}}} << 0 << 0;
    QTest::newRow("number without a name is not handed to a new student")
        << boys << girls << boys << (girls + QStringList{QStringLiteral("己")}) << PinMap{{6, {4, 1}}}
        << PinMap{} << 0 << 1;
    QTest::newRow("duplicate name keeps its number when unchanged")
        << QStringList{QStringLiteral("甲"), QStringLiteral("甲")} << girls
        << QStringList{QStringLiteral("甲"), QStringLiteral("甲")} << girls << PinMap{{1, {1, 1}}, {2, {1, 2}}}
        << PinMap{{1, {1, 1}}, {2, {1, 2}}} << 0 << 0;
    QTest::newRow("duplicate name collapsing onto one number keeps the first pin")
        << QStringList{QStringLiteral("甲"), QStringLiteral("甲")} << girls << QStringList{QStringLiteral("甲")}
        << girls << PinMap{{1, {1, 1}}, {2, {1, 2}}} << PinMap{{1, {1, 1}}} << 0 << 1;
    QTest::newRow("everyone left") << boys << girls << QStringList{} << QStringList{} << pins << PinMap{} << 0 << 3;
}

void TestRosterUpdate::remap()
{
    QFETCH(QStringList, oldBoys);
    QFETCH(QStringList, oldGirls);
    QFETCH(QStringList, newBoys);
    QFETCH(QStringList, newGirls);
    QFETCH(PinMap, pins);
    QFETCH(PinMap, expected);
    QFETCH(int, renumbered);
    QFETCH(int, dropped);

    const ClassModel before = ClassModel::fromRoster(oldBoys, oldGirls);
    const ClassModel after = ClassModel::fromRoster(newBoys, newGirls);
    const FixedPositionRemap result = remapFixedPositions(pins, before.idToName, after.nameToId, after.idToName);
    QCOMPARE(result.positions, expected);
    QCOMPARE(result.renumbered, renumbered);
    QCOMPARE(result.dropped, dropped);
    QCOMPARE(result.changed(), renumbered + dropped > 0);
}

void TestRosterUpdate::draftFollowsStudentsByName()
{
    // 甲 1, 乙 2 | 丙 3, 丁 4; the edit drops 乙, so 丙 and 丁 move up.
    ClassModel current = ClassModel::fromRoster({QStringLiteral("甲"), QStringLiteral("乙")},
                                                {QStringLiteral("丙"), QStringLiteral("丁")});
    current.mustTogether = {{1, 3, 99}, {2, 4}};
    current.mustSeparate = {{4, 1}};
    current.fixedPositions = {{3, {2, 1}}};
    const QList<GroupConfig> groups(kGroupCount, GroupConfig{true, 2, 1, 1});
    const ClassModel draft = draftSettings(
        current, SettingsEdits{QStringLiteral("甲\n"), QStringLiteral("丙\n丁"), QStringLiteral("甲\n\n己"),
                               QString(), groups});

    QCOMPARE(draft.personCount(), 3);
    QCOMPARE(draft.leaderNames, (QSet<QString>{QStringLiteral("甲"), QStringLiteral("己")}));
    QCOMPARE(draft.groupConfigs, groups);
    QCOMPARE(draft.mustTogether, (QList<Constraint>{{1, 2, 99}, {3}}));
    QCOMPARE(draft.mustSeparate, (QList<Constraint>{{3, 1}}));
    QCOMPARE(draft.fixedPositions, (PinMap{{2, {2, 1}}}));
}

QTEST_GUILESS_MAIN(TestRosterUpdate)
#include "test_rosterupdate.moc"
