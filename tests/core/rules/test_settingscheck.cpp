// The settings check on small classes: one row per kind of finding.
#include "core/rules/settingscheck.h"

#include <QTest>

Q_DECLARE_METATYPE(ClassModel)

namespace {

// b1..b4 (1-4) and g1..g8 (5-12); groups 1 and 2 take 2 boys and 4 girls
// each, the rest are off; b1 and g1 lead. Nothing is wrong with it.
ClassModel cleanClass()
{
    ClassModel model = ClassModel::fromRoster({"b1", "b2", "b3", "b4"},
                                              {"g1", "g2", "g3", "g4", "g5", "g6", "g7", "g8"});
    for (int i = 0; i < kGroupCount; ++i)
        model.groupConfigs[i] = i < 2 ? GroupConfig{true, 6, 2, 4} : GroupConfig{false, 0, 0, 0};
    model.leaderNames = {"b1", "g1"};
    return model;
}

ClassModel withGroups(const GroupConfig &first, const GroupConfig &second)
{
    ClassModel model = cleanClass();
    model.groupConfigs[0] = first;
    model.groupConfigs[1] = second;
    return model;
}

ClassModel withRequirements(const QList<Constraint> &together, const QList<Constraint> &separate)
{
    ClassModel model = cleanClass();
    model.mustTogether = together;
    model.mustSeparate = separate;
    return model;
}

ClassModel withPins(const QMap<PersonId, FixedPosition> &pins, const QList<Constraint> &together = {},
                    const QList<Constraint> &separate = {})
{
    ClassModel model = withRequirements(together, separate);
    model.fixedPositions = pins;
    return model;
}

} // namespace

class TestSettingsCheck : public QObject
{
    Q_OBJECT

private slots:
    void finding_data();
    void finding();
    void cleanClassHasNoFindings();
    void mostSevereFirst();
    void summary();
};

void TestSettingsCheck::finding_data()
{
    QTest::addColumn<ClassModel>("model");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("severity");
    QTest::addColumn<QString>("sentence");

    const int will = int(FindingSeverity::WillFail);
    const int may = int(FindingSeverity::MayFail);
    const int hint = int(FindingSeverity::Hint);
    const GroupConfig plain{true, 6, 2, 4};
    ClassModel noGroups = cleanClass();
    noGroups.groupConfigs[0].enabled = noGroups.groupConfigs[1].enabled = false;
    ClassModel strangers = cleanClass();
    strangers.leaderNames.insert("路人");
    strangers.boarderNames = {"b2", "过客"};
    ClassModel manyLeaders = cleanClass();
    manyLeaders.leaderNames.insert("b2");
    ClassModel oneLeader = cleanClass();
    oneLeader.leaderNames = {"b1"};
    ClassModel twins = cleanClass();
    twins.femaleNames[0] = "b2";
    twins.leaderNames = {"b1", "g2"};
    twins.rebuildNameMaps();

    QTest::newRow("no group enabled") << noGroups << int(FindingKind::NoEnabledGroup) << will 
        << QStringLiteral("没有启用的分组");
    QTest::newRow("seats short") << withGroups(plain, {true, 5, 2, 4}) << int(FindingKind::SeatsShort) << will 
        << QStringLiteral("启用的组共有 11 个座位，名单有 12 名学生，少 1 个座位：将有 1 名学生没有座位（固定了座位的学生除外）");
    QTest::newRow("seats spare") << withGroups(plain, {true, 7, 2, 5}) << int(FindingKind::SeatsSpare) << hint 
        << QStringLiteral("启用的组共有 13 个座位，名单只有 12 名学生，1 个座位将空着");
    QTest::newRow("boys targets over") << withGroups(plain, {true, 6, 3, 3}) << int(FindingKind::BoysTargetsOff)
                                       << will 
        << QStringLiteral("启用组的男生目标合计 5，名单只有 4 名男生：有 1 个男生目标位置无人可坐");
    QTest::newRow("girls targets under") << withGroups(plain, {true, 6, 3, 3}) << int(FindingKind::GirlsTargetsOff)
                                         << will 
        << QStringLiteral("启用组的女生目标合计 7，名单有 8 名女生：有 1 名女生将超出目标");
    QTest::newRow("targets over total") << withGroups(plain, {true, 5, 2, 4})
                                        << int(FindingKind::GroupTargetsOverTotal) << will 
        << QStringLiteral("组2 总人数 5，男生目标 2 加女生目标 4 共 6，超过总人数");
    QTest::newRow("seats beyond targets") << withGroups(plain, {true, 7, 2, 4})
                                          << int(FindingKind::GroupSeatsBeyondTargets) << hint 
        << QStringLiteral("组2 总人数 7，男女目标只有 6 人，名单中没有目标之外的学生：1 个座位将空着");
    QTest::newRow("together merged") << withRequirements({{1, 5}, {5, 2}}, {}) << int(FindingKind::TogetherMerged)
                                     << hint 
        << QStringLiteral("必须同组要求1、2 都有 g1，它们将合成一组，共 3 人：b1、g1、b2");
    QTest::newRow("together too large") << withRequirements({{1, 2, 5, 6, 7, 8, 9}}, {})
                                        << int(FindingKind::TogetherTooLarge) << will 
        << QStringLiteral("必须同组要求1（b1、b2、g1、g2、g3、g4、g5）共 7 人，但启用组的总人数最多 6");
    QTest::newRow("together too many boys") << withRequirements({{1, 2, 3}}, {})
                                            << int(FindingKind::TogetherGenderTooLarge) << will 
        << QStringLiteral("必须同组要求1（b1、b2、b3）有 3 名男生，但启用组的男生目标最多 2");
    QTest::newRow("together fits no group") << withPins({{3, {1, 1}}, {4, {2, 1}}}, {{1, 2}})
                                            << int(FindingKind::TogetherFitsNoGroup) << will 
        << QStringLiteral("必须同组要求1（b1、b2）有 2 名男生、0 名女生，算上各组固定了座位的学生，没有哪个组的座位和男女目标容得下");
    QTest::newRow("together needs own groups") << withRequirements({{1, 5}, {2, 6}, {3, 7}}, {})
                                               << int(FindingKind::TogetherNeedOwnGroups) << will 
        << QStringLiteral("必须同组要求1、必须同组要求2、必须同组要求3 各需要自己的一个组（不同的必须同组要求不能在同一组），但按座位、男女目标和固定位置，它们只放得进 组1、组2，共 2 个组");
    ClassModel fewGroups = withRequirements({{1, 2}}, {});
    fewGroups.groupConfigs[1] = {true, 6, 1, 5};
    QTest::newRow("together fits few groups") << fewGroups << int(FindingKind::TogetherFitsFewGroups) << may 
        << QStringLiteral("必须同组要求1（b1、b2：2 名男生、0 名女生）只放得进 组1；放进其他组时，座位、男女目标或固定位置将无法满足");
    QTest::newRow("separate too large") << withRequirements({}, {{1, 2, 5}}) << int(FindingKind::SeparateTooLarge)
                                        << will 
        << QStringLiteral("不能同组要求1 有 3 名学生（b1、b2、g1），只启用了 2 个组：至少有两人会在同一组");
    QTest::newRow("together and separate") << withRequirements({{1, 5, 6}}, {{6, 1}})
                                           << int(FindingKind::TogetherAndSeparate) << will 
        << QStringLiteral("g2、b1 在必须同组要求1 中，又同在不能同组要求1 中");
    QTest::newRow("pinned together apart") << withPins({{1, {1, 1}}, {5, {2, 1}}}, {{1, 5}})
                                           << int(FindingKind::PinnedTogetherApart) << will 
        << QStringLiteral("必须同组要求1 中 b1 固定在组1、g1 固定在组2，他们无法坐在同一组");
    QTest::newRow("pinned separate together") << withPins({{1, {1, 1}}, {5, {1, 2}}}, {}, {{1, 5}})
                                              << int(FindingKind::PinnedSeparateTogether) << will 
        << QStringLiteral("不能同组要求1 中的 b1、g1 都固定在组1");
    QTest::newRow("pinned to a disabled group") << withPins({{1, {3, 1}}}) << int(FindingKind::PinnedGroupDisabled)
                                                << will 
        << QStringLiteral("b1 固定在组3座位1，但组3 未启用");
    QTest::newRow("pinned to no group") << withPins({{1, {11, 1}}}) << int(FindingKind::PinnedGroupDisabled)
                                        << will 
        << QStringLiteral("b1 固定在组11座位1，但组11 不存在");
    QTest::newRow("pinned beyond the seats") << withPins({{1, {1, 7}}}) << int(FindingKind::PinnedSeatBeyondTotal)
                                             << will 
        << QStringLiteral("b1 固定在组1座位7，但组1 只有 6 个座位");
    QTest::newRow("pinned to one seat") << withPins({{1, {1, 1}}, {5, {1, 1}}}) << int(FindingKind::PinnedSeatShared)
                                        << will 
        << QStringLiteral("b1、g1 都固定在组1座位1，一个座位只能坐一人");
    QTest::newRow("pinned boys over target") << withPins({{1, {1, 1}}, {2, {1, 2}}, {3, {1, 3}}})
                                             << int(FindingKind::PinnedGenderOverTarget) << will 
        << QStringLiteral("组1 固定了 3 名男生（b1、b2、b3），但男生目标只有 2");
    QTest::newRow("more leaders than groups") << manyLeaders << int(FindingKind::LeadersMoreThanGroups) << will
                                              
        << QStringLiteral("名单中有 3 名组长（b1、b2、g1），只启用了 2 个组：有的组会有两名组长");
    QTest::newRow("fewer leaders than groups") << oneLeader << int(FindingKind::LeadersFewerThanGroups) << hint
                                               
        << QStringLiteral("名单中有 1 名组长，启用了 2 个组：1 个组将没有组长");
    QTest::newRow("leader not on roster") << strangers << int(FindingKind::LeaderNotOnRoster) << hint 
        << QStringLiteral("组长名单中的 路人 不在男生或女生名单中，不会被当作组长");
    QTest::newRow("boarder not on roster") << strangers << int(FindingKind::BoarderNotOnRoster) << hint 
        << QStringLiteral("外宿生名单中的 过客 不在男生或女生名单中，不会被当作外宿生");
    QTest::newRow("requirement number unknown") << withRequirements({{1, 5, 99}}, {})
                                                << int(FindingKind::RequirementNumberUnknown) << may 
        << QStringLiteral("必须同组要求1 中的编号 99 不对应名单中的任何人，将被忽略");
    QTest::newRow("pin number unknown") << withPins({{99, {1, 1}}}) << int(FindingKind::PinNumberUnknown) << may
                                        
        << QStringLiteral("固定位置中的编号 99（组1座位1）不对应名单中的任何人，这一项将被忽略");
    QTest::newRow("requirement trivial") << withRequirements({}, {{1, 1}}) << int(FindingKind::RequirementTrivial)
                                         << hint 
        << QStringLiteral("不能同组要求1 只有 1 名名单中的学生（b1），这条要求总是满足");
    QTest::newRow("duplicate name") << twins << int(FindingKind::DuplicateName) << may 
        << QStringLiteral("b2 在名单中出现了 2 次（男生第 2 个、女生第 1 个）：按姓名添加的要求和固定位置只会指向最后一个");
}

void TestSettingsCheck::finding()
{
    QFETCH(ClassModel, model);
    QFETCH(int, kind);
    QFETCH(int, severity);
    QFETCH(QString, sentence);

    const QList<Finding> findings = checkSettings(model);
    const auto it = std::find_if(findings.cbegin(), findings.cend(),
                                 [kind](const Finding &f) { return int(f.kind) == kind; });
    QVERIFY(it != findings.cend());
    QCOMPARE(int(it->severity), severity);
    QVERIFY(!it->remedy.isEmpty());
    QCOMPARE(it->sentence, sentence);
}

void TestSettingsCheck::cleanClassHasNoFindings()
{
    QCOMPARE(checkSettings(cleanClass()).size(), 0);
}

void TestSettingsCheck::mostSevereFirst()
{
    ClassModel model = withPins({{99, {1, 1}}}, {{1, 2, 3}});
    model.leaderNames = {"b1"};
    QList<int> severities;
    for (const Finding &f : checkSettings(model))
        severities.append(int(f.severity));
    QCOMPARE(severities, (QList<int>{0, 1, 2}));
}

void TestSettingsCheck::summary()
{
    const SettingsSummary clean = summarizeSettings(cleanClass());
    QCOMPARE(clean.text(), QStringLiteral("座位 12/12　男生目标 4/4　女生目标 8/8"));
    QVERIFY(!clean.isOff());
    const SettingsSummary off = summarizeSettings(withGroups({true, 6, 2, 4}, {true, 7, 3, 4}));
    QCOMPARE(off.text(), QStringLiteral("座位 13/12　男生目标 5/4　女生目标 8/8"));
    QVERIFY(off.seatsOff() && off.boysOff() && !off.girlsOff());
}

QTEST_GUILESS_MAIN(TestSettingsCheck)
#include "test_settingscheck.moc"
