#include "core/storage/configstore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestConfigStore : public QObject
{
    Q_OBJECT

private slots:
    void init();

    // Reading
    void missingFileGivesDefaults();
    void rosterAndStyle();
    void duplicateLeadersCollapse();
    void emptyLeaderNameMarksNobody();
    void groupRecordConversions_data();
    void groupRecordConversions();
    void enabledWithoutTotal();
    void fixedPositionEntries();
    void requirementEntries();
    void generationTries_data();
    void generationTries();
    void useSolver_data();
    void useSolver();

    // Writing
    void groupRecordsRoundTrip();
    void avoidLastGroupmatesKeyOnlyWhenOn();
    void fixedPositionsWrittenAscending();
    void settingsWriteKeepsCustomPathUnlessCustom();
    void failedWriteIsReported();
    void byteOrderMarkIsNoWriteFailure();

    // Update schedule
    void updateCheckDue_data();
    void updateCheckDue();
    void lastCheckRoundTrip();

private:
    void writeIni(const QByteArray &text);
    QString path() const { return m_dir->filePath("config.ini"); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestConfigStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestConfigStore::writeIni(const QByteArray &text)
{
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void TestConfigStore::missingFileGivesDefaults()
{
    ClassModel model;
    model.groupConfigs.clear();
    QString style = "x";
    ConfigStore::readRoster(path(), model, style);
    ConfigStore::readGroupRecords(path(), model);
    QVERIFY(model.maleNames.isEmpty());
    QVERIFY(model.femaleNames.isEmpty());
    QVERIFY(model.leaderNames.isEmpty());
    QCOMPARE(style, QString("样式1"));
    QCOMPARE(model.groupConfigs, defaultGroupConfigs());
    QVERIFY(model.fixedPositions.isEmpty());
    QVERIFY(model.mustTogether.isEmpty());
    QVERIFY(model.mustSeparate.isEmpty());
    QVERIFY(!ConfigStore::readLastUpdateCheck(path()).isValid());
    QVERIFY(!QFile::exists(path()));
}

void TestConfigStore::rosterAndStyle()
{
    writeIni("[Male]\nNames=张三, 李四\n[Female]\nNames=王五\n[Style]\nCurrent=样式2\n");
    ClassModel model;
    QString style;
    ConfigStore::readRoster(path(), model, style);
    QCOMPARE(model.maleNames, QStringList({"张三", "李四"}));
    // A single stored string is a one-element list.
    QCOMPARE(model.femaleNames, QStringList({"王五"}));
    QCOMPARE(style, QString("样式2"));
    QCOMPARE(model.nameToId.value("王五"), 3);
}

void TestConfigStore::duplicateLeadersCollapse()
{
    writeIni("[Leaders]\nNames=甲, 甲, 乙\n[Boarders]\nNames=丙\n");
    ClassModel model;
    QString style;
    ConfigStore::readRoster(path(), model, style);
    QCOMPARE(model.leaderNames.size(), 2);
    QCOMPARE(model.boarderNames, QSet<QString>({"丙"}));
}

void TestConfigStore::emptyLeaderNameMarksNobody()
{
    writeIni("[Male]\nNames=, 甲\n[Leaders]\nNames=, 甲\n[Boarders]\nNames=\"\"\n");
    ClassModel model;
    QString style;
    ConfigStore::readRoster(path(), model, style);
    QCOMPARE(model.maleNames, QStringList({"", "甲"}));
    QCOMPARE(model.leaderNames, QSet<QString>({"甲"}));
    QVERIFY(model.boarderNames.isEmpty());
}

void TestConfigStore::groupRecordConversions_data()
{
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("males");
    QTest::addColumn<int>("females");

    QTest::newRow("plain") << QByteArray("enabled=true\ntotal=5\nmales=1\nfemales=4") << true << 5 << 1 << 4;
    QTest::newRow("false word any case") << QByteArray("enabled=FaLsE") << false << 6 << 2 << 4;
    QTest::newRow("zero is false") << QByteArray("enabled=0") << false << 6 << 2 << 4;
    QTest::newRow("empty is false") << QByteArray("enabled=") << false << 6 << 2 << 4;
    QTest::newRow("other words are true") << QByteArray("enabled=no") << true << 6 << 2 << 4;
    QTest::newRow("not a number reads 0") << QByteArray("total=six\nmales=x\nfemales=") << true << 0 << 0 << 0;
    QTest::newRow("negative total clamps to 0") << QByteArray("total=-3") << true << 0 << 2 << 4;
    QTest::newRow("huge total clamps to 100") << QByteArray("total=2000000000") << true << 100 << 2 << 4;
    QTest::newRow("twelve seats kept") << QByteArray("total=12") << true << 12 << 2 << 4;
    QTest::newRow("lowest targets clamp to 0")
        << QByteArray("males=-2147483648\nfemales=-2147483647") << true << 6 << 0 << 0;
    QTest::newRow("highest targets clamp to 100")
        << QByteArray("males=2147483647\nfemales=101") << true << 6 << 100 << 100;
}

void TestConfigStore::groupRecordConversions()
{
    QFETCH(QByteArray, entries);
    writeIni("[GroupConfig_2]\n" + entries + "\n");
    ClassModel model;
    ConfigStore::readGroupRecords(path(), model);
    const GroupConfig config = model.groupConfigs.at(2);
    QTEST(config.enabled, "enabled");
    QTEST(config.total, "total");
    QTEST(config.males, "males");
    QTEST(config.females, "females");
    QCOMPARE(model.groupConfigs.at(1), defaultGroupConfig(1));
}

void TestConfigStore::enabledWithoutTotal()
{
    writeIni("[GroupConfig_9]\nenabled=true\n");
    ClassModel model;
    ConfigStore::readGroupRecords(path(), model);
    QCOMPARE(model.groupConfigs.at(9), (GroupConfig{true, 0, 2, 4}));
}

void TestConfigStore::fixedPositionEntries()
{
    writeIni("[FixedPositions]\nList=\"7,3,2\", \"1,2\", \"1,2,3,4\", \"8,x,4\", \"7,5,1\"\n");
    ClassModel model;
    ConfigStore::readGroupRecords(path(), model);
    QCOMPARE(model.fixedPositions.size(), 2);
    // A later entry for the same person replaces the earlier one.
    QCOMPARE(model.fixedPositions.value(7), (FixedPosition{5, 1}));
    QCOMPARE(model.fixedPositions.value(8), (FixedPosition{0, 4}));
}

void TestConfigStore::requirementEntries()
{
    writeIni("[Constraints]\nMustTogether=\"4,11,2\", \"3,,5\", \"\"\nMustSeparate=9\n");
    ClassModel model;
    ConfigStore::readGroupRecords(path(), model);
    QCOMPARE(model.mustTogether.size(), 3);
    QCOMPARE(model.mustTogether.at(0), (Constraint{4, 11, 2}));
    QCOMPARE(model.mustTogether.at(1), (Constraint{3, 0, 5}));
    // An empty entry is one empty piece: the number 0.
    QCOMPARE(model.mustTogether.at(2), (Constraint{0}));
    QCOMPARE(model.mustSeparate, (QList<Constraint>{{9}}));
}

void TestConfigStore::avoidLastGroupmatesKeyOnlyWhenOn()
{
    ClassModel model;
    QVERIFY(ConfigStore::writeGroupRecords(path(), model));
    QVERIFY(!QSettings(path(), QSettings::IniFormat).contains(ConfigStore::kAvoidLastGroupmatesKey));

    model.avoidLastGroupmates = true;
    QVERIFY(ConfigStore::writeGroupRecords(path(), model));
    ClassModel read;
    ConfigStore::readGroupRecords(path(), read);
    QVERIFY(read.avoidLastGroupmates);

    // Switched off again, the file is as it was before the switch existed.
    model.avoidLastGroupmates = false;
    QVERIFY(ConfigStore::writeGroupRecords(path(), model));
    QVERIFY(!QSettings(path(), QSettings::IniFormat).contains(ConfigStore::kAvoidLastGroupmatesKey));
}

void TestConfigStore::generationTries_data()
{
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<int>("tries");
    QTest::newRow("absent") << QByteArray() << 20;
    QTest::newRow("plain") << QByteArray("[Generation]\nTries=7\n") << 7;
    QTest::newRow("one is the single run") << QByteArray("[Generation]\nTries=1\n") << 1;
    QTest::newRow("zero rises to 1") << QByteArray("[Generation]\nTries=0\n") << 1;
    QTest::newRow("negative rises to 1") << QByteArray("[Generation]\nTries=-5\n") << 1;
    QTest::newRow("too many falls to 200") << QByteArray("[Generation]\nTries=99999999999\n") << 200;
    QTest::newRow("not a number") << QByteArray("[Generation]\nTries=many\n") << 20;
}

void TestConfigStore::generationTries()
{
    QFETCH(QByteArray, entries);
    writeIni(entries);
    ClassModel model;
    model.generationTries = 3;
    ConfigStore::readGroupRecords(path(), model);
    QTEST(model.generationTries, "tries");
}

void TestConfigStore::useSolver_data()
{
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<bool>("on");
    QTest::newRow("absent is on") << QByteArray() << true;
    QTest::newRow("false") << QByteArray("[Generation]\nUseSolver=false\n") << false;
    QTest::newRow("0") << QByteArray("[Generation]\nUseSolver=0\n") << false;
    QTest::newRow("true") << QByteArray("[Generation]\nUseSolver=true\n") << true;
    QTest::newRow("garbage is on") << QByteArray("[Generation]\nUseSolver=maybe\n") << true;
}

void TestConfigStore::useSolver()
{
    QFETCH(QByteArray, entries);
    QFETCH(bool, on);
    writeIni(entries);
    ClassModel model;
    model.useSolver = !on;
    ConfigStore::readGroupRecords(path(), model);
    QTEST(model.useSolver, "on");
    // Written as read.
    QVERIFY(ConfigStore::writeSettings(path(), model, ConfigStore::kDefaultStyle, QString()));
    ClassModel again;
    ConfigStore::readGroupRecords(path(), again);
    QTEST(again.useSolver, "on");
}

void TestConfigStore::groupRecordsRoundTrip()
{
    ClassModel model;
    model.groupConfigs[0] = {false, 4, 1, 3};
    model.groupConfigs[9] = {true, 8, 5, 3};
    model.fixedPositions.insert(3, {2, 5});
    model.mustTogether = {{1, 2, 3}};
    model.mustSeparate = {{4, 5}, {6, 7, 8}};
    QVERIFY(ConfigStore::writeGroupRecords(path(), model));

    ClassModel loaded;
    ConfigStore::readGroupRecords(path(), loaded);
    QCOMPARE(loaded.groupConfigs, model.groupConfigs);
    QCOMPARE(loaded.fixedPositions, model.fixedPositions);
    QCOMPARE(loaded.mustTogether, model.mustTogether);
    QCOMPARE(loaded.mustSeparate, model.mustSeparate);

    const QSettings raw(path(), QSettings::IniFormat);
    QCOMPARE(raw.value("Constraints/MustSeparate").toStringList(), QStringList({"4,5", "6,7,8"}));
    QCOMPARE(raw.value("GroupConfig_9/total").toInt(), 8);
    // The roster is not touched by this write.
    QVERIFY(!raw.contains("Male/Names"));
}

void TestConfigStore::fixedPositionsWrittenAscending()
{
    ClassModel model;
    model.fixedPositions.insert(12, {1, 1});
    model.fixedPositions.insert(3, {4, 2});
    model.fixedPositions.insert(7, {3, 6});
    QVERIFY(ConfigStore::writeGroupRecords(path(), model));
    const QSettings raw(path(), QSettings::IniFormat);
    QCOMPARE(raw.value("FixedPositions/List").toStringList(), QStringList({"3,4,2", "7,3,6", "12,1,1"}));
}

void TestConfigStore::settingsWriteKeepsCustomPathUnlessCustom()
{
    ClassModel model;
    model.maleNames = {"甲 ", "乙"};
    model.leaderNames = {"乙", "甲 "};
    model.groupConfigs[3] = {true, 5, 1, 4};
    model.fixedPositions.insert(2, {4, 5});
    model.mustSeparate = {{1, 2}};
    QVERIFY(ConfigStore::writeSettings(path(), model, "自定义", "/t/a.xlsx"));
    QVERIFY(ConfigStore::writeSettings(path(), model, "样式2", "/t/b.xlsx"));
    QCOMPARE(ConfigStore::readCustomTemplatePath(path()), QString("/t/a.xlsx"));

    ClassModel loaded;
    QString style;
    ConfigStore::readRoster(path(), loaded, style);
    ConfigStore::readGroupRecords(path(), loaded);
    QCOMPARE(loaded.generationTries, 20);
    QCOMPARE(QSettings(path(), QSettings::IniFormat).value("Generation/Tries").toInt(), 20);
    QCOMPARE(style, QString("样式2"));
    QCOMPARE(loaded.maleNames, model.maleNames);
    QCOMPARE(loaded.leaderNames, model.leaderNames);
    QCOMPARE(loaded.groupConfigs, model.groupConfigs);
    QCOMPARE(loaded.fixedPositions, model.fixedPositions);
    QCOMPARE(loaded.mustSeparate, model.mustSeparate);
}

void TestConfigStore::failedWriteIsReported()
{
    // A directory where the file should be: no process can write it, root included.
    QVERIFY(QDir(m_dir->path()).mkdir("config.ini"));
    ClassModel model;
    QVERIFY(!ConfigStore::writeGroupRecords(path(), model));
    QVERIFY(!ConfigStore::writeSettings(path(), model, "样式1", QString()));
}

void TestConfigStore::byteOrderMarkIsNoWriteFailure()
{
    // Qt reads and rewrites such a file correctly, yet flags it as a format error.
    writeIni("\xEF\xBB\xBF[Male]\nNames=甲\n");
    ClassModel model;
    QString style;
    ConfigStore::readRoster(path(), model, style);
    QCOMPARE(model.maleNames, QStringList({"甲"}));
    QVERIFY(ConfigStore::writeGroupRecords(path(), model));
    writeIni("\xEF\xBB\xBF[Male]\nNames=甲\n");
    QVERIFY(ConfigStore::writeSettings(path(), model, "样式1", QString()));
    ClassModel loaded;
    ConfigStore::readRoster(path(), loaded, style);
    QCOMPARE(loaded.maleNames, model.maleNames);
}

void TestConfigStore::updateCheckDue_data()
{
    QTest::addColumn<QDate>("lastCheck");
    QTest::addColumn<bool>("due");
    const QDate today(2026, 3, 10);
    QTest::newRow("never checked") << QDate() << true;
    QTest::newRow("six days ago") << today.addDays(-6) << false;
    QTest::newRow("seven days ago") << today.addDays(-7) << true;
    QTest::newRow("a year ago") << today.addYears(-1) << true;
    QTest::newRow("today") << today << false;
    QTest::newRow("in the future") << today.addDays(30) << false;
}

void TestConfigStore::updateCheckDue()
{
    QFETCH(QDate, lastCheck);
    QTEST(ConfigStore::isUpdateCheckDue(lastCheck, QDate(2026, 3, 10)), "due");
}

void TestConfigStore::lastCheckRoundTrip()
{
    ConfigStore::writeLastUpdateCheck(path(), QDate(2026, 1, 31));
    QCOMPARE(ConfigStore::readLastUpdateCheck(path()), QDate(2026, 1, 31));
    writeIni("[Update]\nLastCheck=garbage\n");
    QVERIFY(!ConfigStore::readLastUpdateCheck(path()).isValid());
}

QTEST_GUILESS_MAIN(TestConfigStore)
#include "test_configstore.moc"
