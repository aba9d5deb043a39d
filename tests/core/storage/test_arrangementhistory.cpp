// history.json: its text, damaged files, the cap, and records by name on a
// changed roster.
#include "core/storage/arrangementhistory.h"
#include "core/platform/clock.h"
#include "core/storage/compacthistory.h"
#include "core/storage/arrangementrecord.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(8, 15, 0));

ArrangementRecord sampleRecord()
{
    ArrangementRecord record;
    record.id = 3;
    record.time = kNow;
    record.seed = 4294967295u;
    record.useOrder = 5;
    record.unmetRequirements = 2;
    record.groups = {{1, {{QStringLiteral("张三"), true, true, false}, {QStringLiteral("\"李\" 四"), false, false, true}}},
                     {4, {}}};
    record.restored = kNow.addDays(1);
    record.exportedPath = QStringLiteral("/tmp/计划 1.xlsx");
    record.exportedTime = kNow.addDays(2);
    record.avoidedRecord = 2;
    record.solverOutcome = QStringLiteral("solved");
    record.solverMoved = 3;
    return record;
}

QByteArray historyWith(const QByteArray &record)
{
    return "{\"version\": 1, \"arrangements\": [" + record + "]}";
}

const QByteArray kGoodRecord = R"({"id": 1, "time": "2026-03-02T08:15:00", "seed": 7, "used": 1, "unmet": 0,
    "groups": [{"number": 1, "members": [{"name": "a", "gender": "M", "leader": false, "boarder": false}]}]})";

// The history as Qt's own JSON classes write it: what the file held before
// the records were written directly.
QByteArray qtJson(const QList<ArrangementRecord> &records)
{
    const auto time = [](const QDateTime &t) { return t.toString(Qt::ISODate); };
    QJsonArray list;
    for (const ArrangementRecord &record : records) {
        QJsonArray groups;
        for (const RecordedGroup &group : record.groups) {
            QJsonArray members;
            for (const RecordedMember &m : group.members)
                members.append(QJsonObject{{"name", m.name}, {"gender", m.boy ? "M" : "F"},
                                           {"leader", m.leader}, {"boarder", m.boarder}});
            groups.append(QJsonObject{{"number", group.number}, {"members", members}});
        }
        QJsonObject object{{"id", record.id},          {"time", time(record.time)},
                           {"seed", double(record.seed)}, {"used", record.useOrder},
                           {"unmet", record.unmetRequirements}, {"groups", groups}};
        if (record.restored.isValid())
            object.insert("restored", time(record.restored));
        if (!record.exportedPath.isEmpty())
            object.insert("exported", QJsonObject{{"path", record.exportedPath}, {"time", time(record.exportedTime)}});
        if (record.avoidedRecord > 0)
            object.insert("avoided", record.avoidedRecord);
        if (!record.solverOutcome.isEmpty())
            object.insert("solver", QJsonObject{{"outcome", record.solverOutcome}, {"moved", record.solverMoved}});
        list.append(object);
    }
    return QJsonDocument(QJsonObject{{"version", ArrangementHistory::kVersion}, {"arrangements", list}})
        .toJson(QJsonDocument::Compact);
}

// Text that JSON must escape or carry intact: controls, quotes, backslashes,
// CJK, a pair and a lone half of a surrogate, the last code points of the BMP.
QString randomText(QRandomGenerator &random)
{
    static const QList<char16_t> pool{0x00, 0x01, 0x07, 0x08, 0x09, 0x0a, 0x0c, 0x0d, 0x1f, 0x20, u'"', u'\\', u'/',
                                      u'a', u'_', 0x7f, 0x80, 0xe9, u'张', u'三', 0x2028, 0xd83d, 0xde00, 0xfffd, 0xffff};
    QString text;
    const int length = random.bounded(8);
    for (int i = 0; i < length; ++i)
        text.append(QChar(pool[random.bounded(int(pool.size()))]));
    return text;
}

ArrangementRecord randomRecord(QRandomGenerator &random, int id)
{
    ArrangementRecord record;
    record.id = id;
    record.time = kNow.addSecs(random.bounded(100000));
    record.seed = random.generate();
    if (random.bounded(4) == 0)
        record.seed = quint32(std::pow(10, random.bounded(10))); // "1e+06" to Qt's writer
    record.useOrder = random.bounded(1, 500);
    record.unmetRequirements = random.bounded(5);
    const int groups = random.bounded(4);
    for (int g = 0; g < groups; ++g) {
        RecordedGroup group{random.bounded(1, 11), {}};
        const int members = random.bounded(4);
        for (int m = 0; m < members; ++m) {
            const QString name = randomText(random);
            const bool boy = random.bounded(2), leader = random.bounded(2), boarder = random.bounded(2);
            group.members.append({name, boy, leader, boarder});
        }
        record.groups.append(group);
    }
    if (random.bounded(2))
        record.restored = kNow.addDays(1);
    if (random.bounded(2)) {
        record.exportedPath = randomText(random) + QStringLiteral(".xlsx");
        record.exportedTime = kNow.addDays(2);
    }
    record.avoidedRecord = random.bounded(2) * random.bounded(1, 50);
    if (random.bounded(2)) {
        record.solverOutcome = QStringLiteral("solved");
        record.solverMoved = random.bounded(60);
    }
    return record;
}

QList<ArrangementRecord> randomHistory(QRandomGenerator &random)
{
    QList<ArrangementRecord> records;
    const int count = random.bounded(4);
    for (int i = 0; i < count; ++i)
        records.append(randomRecord(random, i + 1));
    return records;
}

} // namespace

class TestArrangementHistory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // The file
    void recordRoundTrip();
    void writtenTextReadsAsQtWroteIt();
    void compactReadingAgreesWithTheJsonLibrary();
    void damagedText_data();
    void damagedText();
    void damagedFileIsSetAside();
    void changesByOthersAreRead();
    void everyChangeReachesTheFile();
    void missingFileIsAnEmptyHistory();
    void historyLivesBesideConfig();
    void capKeepsTheNewest();
    void mostRecentFollowsUse();

    // Records and the roster
    void recordKeepsNamesMarksAndVerdict();
    void placeOnRosterLeavesOutWhoIsGone();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path() const { return m_dir->filePath(QStringLiteral("history.json")); }
    void writeFile(const QByteArray &text) const;
};

void TestArrangementHistory::init()
{
    setClockForTesting([] { return kNow; });
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestArrangementHistory::cleanup()
{
    m_dir.reset();
    setClockForTesting({});
}

void TestArrangementHistory::writeFile(const QByteArray &text) const
{
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void TestArrangementHistory::recordRoundTrip()
{
    ArrangementRecord plain = sampleRecord();
    plain.id = 4;
    plain.restored = {};
    plain.exportedPath.clear();
    plain.exportedTime = {};
    plain.avoidedRecord = 0;
    plain.solverOutcome.clear();
    plain.solverMoved = 0;
    const QList<ArrangementRecord> records{sampleRecord(), plain};
    QCOMPARE(ArrangementHistory::save(path(), records), QString());
    const ArrangementHistory::Loaded loaded = ArrangementHistory::load(path());
    QVERIFY(loaded.problem.isEmpty());
    QCOMPARE(loaded.records, records);
}

void TestArrangementHistory::writtenTextReadsAsQtWroteIt()
{
    // Files written by earlier versions and by this one read back the same,
    // whatever the names hold.
    QRandomGenerator random(20261208);
    for (int round = 0; round < 300; ++round) {
        const QList<ArrangementRecord> records = randomHistory(random);
        const QByteArray ours = ArrangementHistory::toJson(records);
        QList<ArrangementRecord> read, readQt;
        QString problem;
        QVERIFY2(ArrangementHistory::fromJson(ours, read, problem), qPrintable(problem + ": " + ours));
        QVERIFY(ArrangementHistory::fromAnyJson(qtJson(records), readQt, problem));
        QCOMPARE(read, readQt);
        QVERIFY(ArrangementHistory::fromJson(qtJson(records), readQt, problem));
        QCOMPARE(read, readQt);
        QCOMPARE(QJsonDocument::fromJson(ours).toJson(QJsonDocument::Compact),
                 QJsonDocument::fromJson(qtJson(records)).toJson(QJsonDocument::Compact));
    }
}

void TestArrangementHistory::compactReadingAgreesWithTheJsonLibrary()
{
    // What the writer wrote reads back without the JSON library; any other
    // text, a damaged one above all, is either left to the library or read
    // exactly as the library reads it.
    static const QByteArray bytes = QByteArrayLiteral("0123456789\"\\u{}[],:-.eE+ /tfnrbMF\x00\x1f\x7f\x80\xbf\xc0\xed\xef\xf4\xff");
    QRandomGenerator random(8122026);
    int damagedButRead = 0;
    for (int round = 0; round < 400; ++round) {
        const QList<ArrangementRecord> records = randomHistory(random);
        const QByteArray text = ArrangementHistory::toJson(records);
        QList<ArrangementRecord> compact, library;
        QString problem;
        QVERIFY(readCompactHistory(text, compact));
        QVERIFY(ArrangementHistory::fromAnyJson(text, library, problem));
        QCOMPARE(compact, library);

        for (int change = 0; change < 25; ++change) {
            QByteArray damaged = text;
            const int at = random.bounded(int(damaged.size()));
            const char byte = bytes[random.bounded(int(bytes.size()))];
            switch (random.bounded(4)) {
            case 0: damaged[at] = byte; break;
            case 1: damaged.insert(at, byte); break;
            case 2: damaged.remove(at, 1 + random.bounded(3)); break;
            default: damaged.truncate(at);
            }
            if (!readCompactHistory(damaged, compact))
                continue;
            ++damagedButRead;
            QVERIFY2(ArrangementHistory::fromAnyJson(damaged, library, problem), damaged.constData());
            QCOMPARE(compact, library);
        }
    }
    // Digits and names changed within range still read: the comparison ran.
    QVERIFY(damagedButRead > 100);
}

void TestArrangementHistory::damagedText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("not JSON") << QByteArray("{\"version\": 1, \"arrangements\": [");
    QTest::newRow("a list") << QByteArray("[]");
    QTest::newRow("a newer version") << QByteArray("{\"version\": 2, \"arrangements\": []}");
    QTest::newRow("no list") << QByteArray("{\"version\": 1}");
    QTest::newRow("a record that is a number") << historyWith("5");
    QTest::newRow("no seed") << historyWith(QByteArray(kGoodRecord).replace("\"seed\": 7,", ""));
    QTest::newRow("negative seed") << historyWith(QByteArray(kGoodRecord).replace("\"seed\": 7", "\"seed\": -1"));
    QTest::newRow("seed beyond 32 bits")
        << historyWith(QByteArray(kGoodRecord).replace("\"seed\": 7", "\"seed\": 4294967296"));
    QTest::newRow("fractional id") << historyWith(QByteArray(kGoodRecord).replace("\"id\": 1", "\"id\": 1.5"));
    QTest::newRow("bad time") << historyWith(QByteArray(kGoodRecord).replace("2026-03-02T08:15:00", "yesterday"));
    QTest::newRow("unknown gender") << historyWith(QByteArray(kGoodRecord).replace("\"M\"", "\"X\""));
    QTest::newRow("name not text") << historyWith(QByteArray(kGoodRecord).replace("\"a\"", "1"));
    QTest::newRow("group number 0") << historyWith(QByteArray(kGoodRecord).replace("\"number\": 1", "\"number\": 0"));
    QTest::newRow("solver not an object")
        << historyWith(QByteArray(kGoodRecord).replace("\"unmet\": 0", "\"unmet\": 0, \"solver\": \"solved\""));
    QTest::newRow("one id twice") << historyWith(kGoodRecord + "," + kGoodRecord);
}

void TestArrangementHistory::damagedText()
{
    QFETCH(QByteArray, text);
    QList<ArrangementRecord> records;
    QString problem;
    QVERIFY(ArrangementHistory::fromJson(historyWith(kGoodRecord), records, problem));
    QCOMPARE(records.size(), 1);
    QVERIFY(!ArrangementHistory::fromJson(text, records, problem));
    QVERIFY(!problem.isEmpty());
    QVERIFY(records.isEmpty());
}

void TestArrangementHistory::damagedFileIsSetAside()
{
    writeFile("garbage");
    const ArrangementHistory::Loaded first = ArrangementHistory::load(path());
    QVERIFY(first.records.isEmpty());
    QVERIFY(first.writable);
    QCOMPARE(first.setAsidePath, path() + ".bad-20260302_081500");
    QVERIFY(!QFile::exists(path()));
    QFile aside(first.setAsidePath);
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), QByteArray("garbage"));

    // A second damaged file within the same second keeps the first one.
    writeFile("{}");
    QCOMPARE(ArrangementHistory::load(path()).setAsidePath, path() + ".bad-20260302_081500-2");
    QVERIFY(QFile::exists(first.setAsidePath));
}

void TestArrangementHistory::changesByOthersAreRead()
{
    // What this process wrote or read last is remembered; whatever another
    // process puts in the file since is what the next read returns.
    const QList<ArrangementRecord> ours{sampleRecord()};
    QCOMPARE(ArrangementHistory::save(path(), ours), QString());
    QCOMPARE(ArrangementHistory::load(path()).records, ours);

    ArrangementRecord theirs = sampleRecord();
    theirs.groups[0].members[0].name = QStringLiteral("李四"); // the same length in bytes
    const QByteArray text = ArrangementHistory::toJson({theirs});
    QCOMPARE(text.size(), ArrangementHistory::toJson(ours).size());
    writeFile(text);
    QCOMPARE(ArrangementHistory::load(path()).records, QList<ArrangementRecord>{theirs});

    writeFile(text.left(text.size() - 1));
    const ArrangementHistory::Loaded damaged = ArrangementHistory::load(path());
    QVERIFY(damaged.records.isEmpty());
    QVERIFY(!damaged.setAsidePath.isEmpty());

    // A file put back with text read before is that text's records again.
    writeFile(text);
    QCOMPARE(ArrangementHistory::load(path()).records, QList<ArrangementRecord>{theirs});
}

void TestArrangementHistory::everyChangeReachesTheFile()
{
    // Records written or read before are reused as text only while they are
    // unchanged.
    QRandomGenerator random(7);
    QList<ArrangementRecord> records;
    for (int round = 0; round < 40; ++round) {
        const int change = random.bounded(3);
        if (change == 0 || records.isEmpty())
            ArrangementHistory::append(records, randomRecord(random, 0));
        else if (change == 1) {
            ArrangementRecord &exported = records[random.bounded(int(records.size()))];
            exported.exportedPath = randomText(random) + QStringLiteral(".xlsx");
            exported.exportedTime = kNow.addSecs(round);
        } else
            records[random.bounded(int(records.size()))].groups = randomRecord(random, 0).groups;
        if (random.bounded(3) == 0) {
            // Another process writes; this one reads that text and keeps it.
            writeFile(ArrangementHistory::toJson(records));
            QCOMPARE(ArrangementHistory::load(path()).records, records);
            ArrangementRecord &changed = records[random.bounded(int(records.size()))];
            changed.restored = kNow.addSecs(round);
        }
        QCOMPARE(ArrangementHistory::save(path(), records), QString());
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<ArrangementRecord> written;
        QString problem;
        QVERIFY2(ArrangementHistory::fromJson(file.readAll(), written, problem), qPrintable(problem));
        QCOMPARE(written.size(), records.size());
        QCOMPARE(written, records);
    }
}

void TestArrangementHistory::missingFileIsAnEmptyHistory()
{
    const ArrangementHistory::Loaded loaded = ArrangementHistory::load(path());
    QVERIFY(loaded.records.isEmpty() && loaded.problem.isEmpty() && loaded.setAsidePath.isEmpty() && loaded.writable);
    // The first save creates a missing folder.
    const QString nested = m_dir->filePath(QStringLiteral("a/b/history.json"));
    QCOMPARE(ArrangementHistory::save(nested, {sampleRecord()}), QString());
    QCOMPARE(ArrangementHistory::load(nested).records.size(), 1);
}

void TestArrangementHistory::historyLivesBesideConfig()
{
    QCOMPARE(ArrangementHistory::historyFilePath(m_dir->filePath(QStringLiteral("config.ini"))), path());
}

void TestArrangementHistory::capKeepsTheNewest()
{
    QList<ArrangementRecord> records;
    for (int i = 0; i < ArrangementHistory::kMaxRecords + 5; ++i) {
        ArrangementRecord record = sampleRecord();
        record.seed = quint32(i);
        QCOMPARE(ArrangementHistory::append(records, record), i + 1);
    }
    QCOMPARE(records.size(), ArrangementHistory::kMaxRecords);
    QCOMPARE(records.first().seed, 5u);
    QCOMPARE(records.last().id, ArrangementHistory::kMaxRecords + 5);

    // Saving trims a list that grew by other hands.
    records.append(sampleRecord());
    QCOMPARE(ArrangementHistory::save(path(), records), QString());
    QCOMPARE(ArrangementHistory::load(path()).records.size(), ArrangementHistory::kMaxRecords);
}

void TestArrangementHistory::mostRecentFollowsUse()
{
    QList<ArrangementRecord> records;
    QVERIFY(!ArrangementHistory::mostRecent(records));
    ArrangementHistory::append(records, sampleRecord());
    ArrangementHistory::append(records, sampleRecord());
    QCOMPARE(ArrangementHistory::mostRecent(records)->id, 2);
    // Restored within the same second: the use order decides, not the clock.
    ArrangementHistory::find(records, 1)->useOrder = ArrangementHistory::nextUseOrder(records);
    QCOMPARE(ArrangementHistory::mostRecent(records)->id, 1);
}

void TestArrangementHistory::recordKeepsNamesMarksAndVerdict()
{
    ClassModel model = ClassModel::fromRoster({"b1", "b2"}, {"g1", "g2"});
    model.groupConfigs[0].enabled = false;
    model.leaderNames = {"b2"};
    model.boarderNames = {"g1"};
    model.mustTogether = {{1, 3}};
    model.mustSeparate = {{2, 4}};
    ArrangementRecord record = recordOf(model, {{1, 0, 2}, {3, 4}}, 42, kNow);
    QCOMPARE(record.seed, 42u);
    QCOMPARE(record.unmetRequirements, 1);
    QCOMPARE(verdictText(record.unmetRequirements), QStringLiteral("1 项要求未满足"));
    QCOMPARE(verdictText(0), QStringLiteral("所有要求已满足"));
    const QList<RecordedGroup> expected{
        {2, {{"b1", true, false, false}, {"b2", true, true, false}}},
        {3, {{"g1", false, false, true}, {"g2", false, false, false}}}};
    QCOMPARE(record.groups, expected);
    QCOMPARE(groupNumbersText(record), QStringLiteral("2-3"));
    record.groups.insert(0, RecordedGroup{1, {}});
    record.groups.append({RecordedGroup{5, {}}, RecordedGroup{7, {}}, RecordedGroup{8, {}}});
    QCOMPARE(groupNumbersText(record), QStringLiteral("1-3, 5, 7-8"));
}

void TestArrangementHistory::placeOnRosterLeavesOutWhoIsGone()
{
    ArrangementRecord record;
    record.groups = {{1, {{"a", true, false, false}, {"gone", true, false, false}}},
                     {2, {{"b", false, false, false}, {"a", true, false, false}}},
                     {10, {{"c", false, false, false}}}};
    const ClassModel model = ClassModel::fromRoster({"a"}, {"b", "c"});
    const RosterArrangement placed = placeOnRoster(record, model);
    QCOMPARE(placed.groups, Grouping({{1}, {2}, {}, {}, {}, {}, {}, {}, {}}));
    QCOMPARE(placed.missingNames, QStringList({"gone", "a"}));
    QCOMPARE(placed.disabledGroups, QList<int>{10});
    QCOMPARE(placed.disabledGroupNames, QStringList{"c"});
    QCOMPARE(groupmatesOf(record, model), Grouping({{1}, {2, 1}, {3}}));
}

QTEST_GUILESS_MAIN(TestArrangementHistory)
#include "test_arrangementhistory.moc"
