// "历史分组..." in the window: every generation recorded, restore, export,
// a restart, repeating a seed, a damaged file and fresh groupmates.
#include "ui/window/mainwindow.h"
#include "common/modaldriver.h"
#include "common/testenvironment.h"
#include "core/storage/arrangementhistory.h"
#include "core/platform/clock.h"
#include "core/storage/configstore.h"
#include "core/engine/generation.h"
#include "ui/history/historydialog.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QUrl>

class TestHistory : public QObject
{
    Q_OBJECT

public slots:
    void openFile(const QUrl &) {}

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void generateTwiceRestoreFirstExportRestart();
    void restoreLeavesOutWhoLeftTheRoster();
    void recordedSeedRepeatsTheKeptTry_data();
    void recordedSeedRepeatsTheKeptTry();
    void damagedHistoryIsSetAsideAtStart();
    void freshGroupmatesAvoidTheArrangementInUse();
    void freshGroupmatesSwitchOnTheGroupTab();

private:
    // The window draws its tries' seeds from `firstSeed` on.
    void makeWindow(quint32 firstSeed = 31);
    void generate();
    void trigger(const char *action);
    // Opens "历史分组...", hands the dialog to `act` and closes it if still open.
    void withHistoryDialog(const std::function<void(HistoryDialog *)> &act);
    // Picks row `row` of the list and presses the button.
    void chooseInHistory(int row, const char *button);
    QList<ArrangementRecord> records() const;
    QString stampedLast() const;

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MainWindow> m_window;
};

namespace {
const QDateTime kNow(QDate(2025, 3, 14), QTime(9, 5, 3));

template <typename T>
T *child(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}
} // namespace

void TestHistory::initTestCase()
{
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFile");
}

void TestHistory::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

void TestHistory::init()
{
    setClockForTesting([] { return kNow; });
    m_env = std::make_unique<TestEnvironment>();
    m_env->writeConfig(demoConfigText());
}

void TestHistory::cleanup()
{
    m_window.reset();
    m_env.reset();
    setClockForTesting({});
}

void TestHistory::makeWindow(quint32 firstSeed)
{
    m_window = m_env->makeWindow();
    auto next = std::make_shared<quint32>(firstSeed);
    m_window->setSeedSourceForTesting([next] { return (*next)++; });
}

void TestHistory::generate()
{
    child<QPushButton>(m_window.get(), "generateButton")->click();
}

void TestHistory::trigger(const char *action)
{
    child<QAction>(m_window.get(), action)->trigger();
}

void TestHistory::withHistoryDialog(const std::function<void(HistoryDialog *)> &act)
{
    ModalDriver driver;
    driver.handle([&act](QWidget *modal) {
        auto *dialog = qobject_cast<HistoryDialog *>(modal);
        QVERIFY(dialog);
        act(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    trigger("historyAction");
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().title, QStringLiteral("历史分组"));
}

void TestHistory::chooseInHistory(int row, const char *button)
{
    withHistoryDialog([row, button](HistoryDialog *dialog) {
        child<QTableWidget>(dialog, "historyList")->selectRow(row);
        child<QPushButton>(dialog, button)->click();
    });
}

QList<ArrangementRecord> TestHistory::records() const
{
    return ArrangementHistory::load(m_env->dir() + QStringLiteral("/history.json")).records;
}

QString TestHistory::stampedLast() const
{
    QString last;
    for (const QString &line : logLines(m_window.get())) {
        if (line.startsWith(QStringLiteral("09:05:03 - ")))
            last = line.mid(11);
    }
    return last;
}

void TestHistory::generateTwiceRestoreFirstExportRestart()
{
    m_env->copyTemplates();
    makeWindow();
    auto *results = child<QTableWidget>(m_window.get(), "resultTable");
    generate();
    const Grouping first = m_window->modelForTesting().generatedGroups;
    const QStringList firstRows = tableRows(results);
    generate();
    QVERIFY(m_window->modelForTesting().generatedGroups != first);
    const QList<ArrangementRecord> history = records();
    QCOMPARE(history.size(), 2);

    withHistoryDialog([&history](HistoryDialog *dialog) {
        auto *list = child<QTableWidget>(dialog, "historyList");
        QCOMPARE(list->rowCount(), 2);
        // Newest first; the newest is selected and shown.
        QCOMPARE(list->item(0, 1)->text(), QString::number(history.at(1).seed));
        QCOMPARE(list->item(1, 1)->text(), QString::number(history.at(0).seed));
        QCOMPARE(list->item(1, 0)->text(), QStringLiteral("2025-03-14 09:05:03"));
        QCOMPARE(list->item(1, 2)->text(), QStringLiteral("1-9"));
        QVERIFY(list->item(1, 3)->text() == QStringLiteral("所有要求已满足")
                || list->item(1, 3)->text().endsWith(QStringLiteral("项要求未满足")));
        auto *preview = child<QTableWidget>(dialog, "historyPreview");
        QCOMPARE(preview->rowCount(), 9);
        QCOMPARE(preview->item(0, 0)->text(), QStringLiteral("组 1"));
        QVERIFY(preview->item(0, 1)->background().style() == Qt::SolidPattern);
        QCOMPARE(preview->editTriggers(), QAbstractItemView::NoEditTriggers);
        list->selectRow(1);
        child<QPushButton>(dialog, "restoreButton")->click();
    });
    QCOMPARE(m_window->modelForTesting().generatedGroups, first);
    QCOMPARE(tableRows(results), firstRows);
    QCOMPARE(stampedLast(), QStringLiteral("已恢复 2025-03-14 09:05:03 的分组"));

    trigger("saveAction");
    const QString saved = QDir::toNativeSeparators(m_env->dir() + QStringLiteral("/20250314_090503_座位表.xlsx"));
    QCOMPARE(stampedLast(), QStringLiteral("座位表已保存到: ") + QDir::fromNativeSeparators(saved));
    QCOMPARE(records().at(0).exportedPath, saved);
    QVERIFY(records().at(1).exportedPath.isEmpty());
    QCOMPARE(records().size(), 2);

    m_window.reset();
    makeWindow();
    withHistoryDialog([&saved](HistoryDialog *dialog) {
        auto *list = child<QTableWidget>(dialog, "historyList");
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->item(1, 4)->text(), saved);
        QVERIFY(list->item(0, 4)->text().isEmpty());
    });
}

void TestHistory::restoreLeavesOutWhoLeftTheRoster()
{
    makeWindow();
    generate();
    ClassModel &model = m_window->modelForTesting();
    const QString gone = model.maleNames.first();
    model.maleNames.first() = QStringLiteral("新同学");
    model.rebuildNameMaps();
    chooseInHistory(0, "restoreButton");

    QCOMPARE(logLines(m_window.get()).last(), QStringLiteral("以下学生不在当前名单中，未恢复: ") + gone);
    int seated = 0;
    for (const Group &group : std::as_const(model.generatedGroups))
        seated += int(group.size());
    QCOMPARE(seated, model.personCount() - 1);
    QVERIFY(!personGroupMap(model.generatedGroups).contains(1));
}

void TestHistory::recordedSeedRepeatsTheKeptTry_data()
{
    QTest::addColumn<bool>("avoid");
    QTest::newRow("switch off") << false;
    // The first run had nothing to keep apart, so its repeat keeps nothing
    // apart either, although another arrangement is in use by then.
    QTest::newRow("switch on") << true;
}

void TestHistory::recordedSeedRepeatsTheKeptTry()
{
    QFETCH(bool, avoid);
    // Seeds from which "生成分组" keeps a later try than the first, as the
    // engine itself chooses it.
    ClassModel model = loadDemoClass();
    model.avoidLastGroupmates = avoid;
    quint32 firstSeed = 0;
    Engine::GenerationResult expected;
    do {
        quint32 next = ++firstSeed;
        Engine::GenerationOptions options;
        options.trySeeds = [&next] { return next++; };
        expected = Engine::generate(model, LogSink(), options);
    } while (expected.chosenTry == 1);

    makeWindow(firstSeed);
    m_window->modelForTesting().avoidLastGroupmates = avoid;
    generate();
    QCOMPARE(m_window->modelForTesting().generatedGroups, expected.groups);
    QCOMPARE(records().at(0).seed, expected.seed);
    generate();
    generate();

    const qsizetype before = logLines(m_window.get()).size();
    chooseInHistory(2, "regenerateButton");
    QCOMPARE(m_window->modelForTesting().generatedGroups, expected.groups);
    QStringList repeated = logLines(m_window.get()).mid(before);
    QVERIFY(repeated.takeLast().endsWith(QStringLiteral(" - 分组生成完成")));
    QCOMPARE(repeated, expected.lines);
    const QList<ArrangementRecord> history = records();
    QCOMPARE(history.size(), 4);
    QCOMPARE(history.last().seed, expected.seed);
    QCOMPARE(history.last().groups, history.first().groups);
}

void TestHistory::damagedHistoryIsSetAsideAtStart()
{
    QFile file(m_env->dir() + QStringLiteral("/history.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\"version\": 1, \"arrangements\": [");
    file.close();
    makeWindow();
    const QString path = QDir::toNativeSeparators(file.fileName());
    const QString last = logLines(m_window.get()).last();
    QVERIFY2(last.startsWith(QStringLiteral("历史记录文件 %1 无法读取（").arg(path)), qPrintable(last));
    QVERIFY(last.endsWith(QStringLiteral("），已另存为 %1.bad-20250314_090503，重新开始记录").arg(path)));
    QVERIFY(QFile::exists(file.fileName() + QStringLiteral(".bad-20250314_090503")));

    generate();
    QCOMPARE(records().size(), 1);
}

void TestHistory::freshGroupmatesAvoidTheArrangementInUse()
{
    makeWindow();
    m_window->modelForTesting().avoidLastGroupmates = true;
    generate();
    QVERIFY(logLines(m_window.get()).contains(QStringLiteral("与上次同组的学生对: 0 → 0")));
    generate();
    const QStringList lines = logLines(m_window.get());
    const auto pairs = std::find_if(lines.crbegin(), lines.crend(), [](const QString &line) {
        return line.startsWith(QStringLiteral("与上次同组的学生对: "));
    });
    QVERIFY(pairs != lines.crend());
    const QStringList counts = pairs->mid(11).split(QStringLiteral(" → "));
    QVERIFY2(counts.size() == 2 && counts.at(1).toInt() < counts.at(0).toInt(), qPrintable(*pairs));
    QCOMPARE(records().at(1).avoidedRecord, 1);

    // The restored arrangement is the one in use, so the next run avoids it.
    chooseInHistory(1, "restoreButton");
    generate();
    QCOMPARE(records().at(2).avoidedRecord, 1);
    // Off again: no extra lines and nothing recorded as avoided.
    m_window->modelForTesting().avoidLastGroupmates = false;
    generate();
    QCOMPARE(records().at(3).avoidedRecord, 0);
}

void TestHistory::freshGroupmatesSwitchOnTheGroupTab()
{
    makeWindow();
    ModalDriver driver;
    driver.handle([](QWidget *modal) {
        auto *box = child<QCheckBox>(modal, "avoidLastGroupmatesCheck");
        QVERIFY(box && !box->isChecked());
        QCOMPARE(box->text(), QStringLiteral("尽量避免与上次同组"));
        box->setChecked(true);
        child<QPushButton>(modal, "saveButton")->click();
    });
    trigger("settingsAction");
    QVERIFY(m_window->modelForTesting().avoidLastGroupmates);
    QVERIFY(QSettings(m_env->configPath(), QSettings::IniFormat).value(ConfigStore::kAvoidLastGroupmatesKey).toBool());
}

QTEST_MAIN(TestHistory)
#include "test_history.moc"
