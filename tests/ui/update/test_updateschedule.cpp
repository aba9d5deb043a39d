#include "updatetesting.h"

#include "ui/window/mainwindow.h"
#include "common/testenvironment.h"
#include "core/platform/clock.h"
#include "core/storage/configstore.h"

#include <QTest>

// The start-up schedule: a silent check some time after construction when the
// last one lies a week or more back, and the date recorded at once.
class TestUpdateSchedule : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setClockForTesting(nullptr); }

    void schedule_data();
    void schedule();
};

namespace {
const QDate kToday(2025, 10, 20);
}

void TestUpdateSchedule::schedule_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<bool>("due");
    QTest::addColumn<QDate>("storedAfter");

    QTest::newRow("no file") << QByteArray() << true << kToday;
    QTest::newRow("unreadable date") << QByteArray("[Update]\nLastCheck=soon\n") << true << kToday;
    QTest::newRow("six days ago") << QByteArray("[Update]\nLastCheck=2025-10-14\n") << false << QDate(2025, 10, 14);
    QTest::newRow("seven days ago") << QByteArray("[Update]\nLastCheck=2025-10-13\n") << true << kToday;
    QTest::newRow("a year ago") << QByteArray("[Update]\nLastCheck=2024-10-20\n") << true << kToday;
    QTest::newRow("today") << QByteArray("[Update]\nLastCheck=2025-10-20\n") << false << kToday;
    QTest::newRow("in the future") << QByteArray("[Update]\nLastCheck=2025-12-01\n") << false << QDate(2025, 12, 1);
}

void TestUpdateSchedule::schedule()
{
    QFETCH(QByteArray, config);
    QFETCH(bool, due);
    QFETCH(QDate, storedAfter);

    setClockForTesting([] { return QDateTime(kToday, QTime(9, 30)); });
    TestEnvironment env;
    if (!config.isEmpty())
        env.writeConfig(config);
    ReleaseServer server;
    server.answerRelease(QStringLiteral("251008.1730"));
    UpdateTestSetup setup(server);

    ModalSweeper unexpected;
    auto window = env.makeWindow();
    const int logStart = int(logLines(window.get()).size());
    // Recorded before the check has had a chance to run.
    QCOMPARE(server.requestCount(), 0);
    QCOMPARE(ConfigStore::readLastUpdateCheck(env.configPath()), storedAfter);

    if (due) {
        QTRY_COMPARE(server.requestCount(), 1);
        QTRY_VERIFY(checksEnded(window.get()));
        // Silent: no progress line, only the outcome.
        QCOMPARE(logTextsSince(window.get(), logStart), QStringList{QStringLiteral("当前已是最新版本")});
    } else {
        QTest::qWait(300);
        QCOMPARE(server.requestCount(), 0);
        QVERIFY(logTextsSince(window.get(), logStart).isEmpty());
    }
    QTest::qWait(100);
    QCOMPARE(server.requestCount(), due ? 1 : 0);
    QCOMPARE(unexpected.count(), 0);
}

QTEST_MAIN(TestUpdateSchedule)
#include "test_updateschedule.moc"
