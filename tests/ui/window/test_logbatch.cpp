// The event log lays each command's lines out at once. What the user sees
// must not change: the same paragraphs and formats as appending line by line,
// the view following the end, and every line already shown when a box opens.
#include "ui/window/logbatch.h"
#include "ui/window/mainwindow.h"
#include "common/modaldriver.h"
#include "common/testenvironment.h"
#include "core/platform/clock.h"
#include "core/storage/configstore.h"

#include <QAction>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

namespace {

const QDateTime kNow(QDate(2025, 3, 14), QTime(9, 5, 3));

// A roster whose names look like markup: plain lines must keep them as text,
// the group details must escape them.
const QByteArray kMarkupNames = R"(
[Male]
Names=<b>A&B</b>, <i>Tom</i>, 王浩然, 李子轩, 张宇航, 刘俊杰
[Female]
Names=<font color='red'>R</font>, 韩雨桐, 唐诗涵, 冯欣怡, 于梦琪, 董雅婷
[Leaders]
Names=<b>A&B</b>
[Style]
Current=<b>样式</b>
[GroupConfig_2]
enabled=false
[Constraints]
MustTogether="1,7"
MustSeparate="2,8,9"
)";

QString describe(const QTextFormat &format)
{
    QString text;
    QDebug(&text).nospace() << format.properties();
    return text;
}

// Each paragraph with its block format and each fragment with its character format.
QStringList paragraphs(const QTextDocument *document)
{
    QStringList result;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QString line = block.text() + QStringLiteral(" ¦ ") + describe(block.blockFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it)
            line += QStringLiteral(" ¦ ") + it.fragment().text() + u'=' + describe(it.fragment().charFormat());
        result.append(line);
    }
    return result;
}

QTextEdit *logView(MainWindow *window)
{
    return window->findChild<QTextEdit *>(QStringLiteral("logView"));
}

void click(MainWindow *window, const char *button)
{
    window->findChild<QPushButton *>(QLatin1String(button))->click();
}

} // namespace

class TestLogBatch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void batchedLogMatchesLineByLine_data();
    void batchedLogMatchesLineByLine();
    void viewFollowsTheEndUnlessScrolledUp_data();
    void viewFollowsTheEndUnlessScrolledUp();
    void linesBeforeABoxAreLaidOutWhenItShows();

private:
    std::unique_ptr<MainWindow> makeWindow(const TestEnvironment &environment, const QByteArray &config);
};

void TestLogBatch::init()
{
    setClockForTesting([] { return kNow; });
}

void TestLogBatch::cleanup()
{
    LogBatch::setEnabledForTesting(true);
    setClockForTesting({});
}

std::unique_ptr<MainWindow> TestLogBatch::makeWindow(const TestEnvironment &environment, const QByteArray &config)
{
    environment.writeConfig(config);
    ConfigStore::writeLastUpdateCheck(environment.configPath(), kNow.date());
    auto window = environment.makeWindow();
    auto next = std::make_shared<quint32>(7);
    window->setSeedSourceForTesting([next] { return (*next)++; });
    return window;
}

void TestLogBatch::batchedLogMatchesLineByLine_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QStringList>("commands");

    const QStringList everything{"generate", "details", "check", "generate", "details", "reset", "generate"};
    QTest::newRow("start-up") << demoConfigText() << QStringList();
    QTest::newRow("demo class, every command") << demoConfigText() << everything;
    QTest::newRow("names that look like markup") << kMarkupNames << everything;
    QTest::newRow("no roster") << QByteArray() << everything;
}

void TestLogBatch::batchedLogMatchesLineByLine()
{
    QFETCH(QByteArray, config);
    QFETCH(QStringList, commands);

    QStringList seen[2];
    QString status[2];
    for (const bool batched : {false, true}) {
        LogBatch::setEnabledForTesting(batched);
        TestEnvironment environment;
        auto window = makeWindow(environment, config);
        window->resize(1004, 753);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (const QString &command : commands) {
            if (command == QLatin1String("generate"))
                click(window.get(), "generateButton");
            else if (command == QLatin1String("details"))
                emit window->findChild<QTableWidget *>(QStringLiteral("resultTable"))->cellClicked(0, 1);
            else if (command == QLatin1String("check"))
                click(window.get(), "checkConstraintsButton");
            else if (command == QLatin1String("reset"))
                click(window.get(), "resetButton");
        }
        seen[batched] = paragraphs(logView(window.get())->document());
        status[batched] = window->findChild<QLabel *>(QStringLiteral("statusLabel"))->text();
    }
    QVERIFY(seen[true].size() > commands.size());
    QCOMPARE(seen[true], seen[false]);
    QCOMPARE(status[true], status[false]);
}

void TestLogBatch::viewFollowsTheEndUnlessScrolledUp_data()
{
    QTest::addColumn<bool>("scrolledUp");
    QTest::newRow("at the end") << false;
    QTest::newRow("scrolled up") << true;
}

void TestLogBatch::viewFollowsTheEndUnlessScrolledUp()
{
    QFETCH(bool, scrolledUp);

    TestEnvironment environment;
    auto window = makeWindow(environment, demoConfigText());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QScrollBar *scrollBar = logView(window.get())->verticalScrollBar();
    click(window.get(), "generateButton");
    QVERIFY(scrollBar->maximum() > 0);
    QCOMPARE(scrollBar->value(), scrollBar->maximum());

    if (scrolledUp)
        scrollBar->setValue(0);
    const int before = scrollBar->maximum();
    click(window.get(), "generateButton");
    QVERIFY(scrollBar->maximum() > before);
    QCOMPARE(scrollBar->value(), scrolledUp ? 0 : scrollBar->maximum());
}

void TestLogBatch::linesBeforeABoxAreLaidOutWhenItShows()
{
    TestEnvironment environment;
    auto window = makeWindow(environment, demoConfigText());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // Saving a shorter roster resets the log, says where the pins went, then
    // reports that the file could not be written (root ignores permissions,
    // so a directory blocks it).
    QVERIFY(QFile::remove(environment.configPath()));
    QVERIFY(QDir().mkdir(environment.configPath()));

    QTextDocument *document = logView(window.get())->document();
    QStringList linesShown;
    bool laidOut = false;
    ModalDriver dialog;
    dialog.handle([&](QWidget *settings) {
        ModalDriver box;
        box.handle([&](QWidget *modal) {
            linesShown = logLines(window.get());
            const QTextBlock last = document->lastBlock();
            laidOut = last.layout() && last.layout()->lineCount() > 0;
            qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Ok)->click();
        });
        auto *boys = settings->findChild<QPlainTextEdit *>(QStringLiteral("maleNamesEdit"));
        boys->setPlainText(boys->toPlainText().section(u'\n', 1));
        settings->findChild<QPushButton *>(QStringLiteral("saveButton"))->click();
        QCOMPARE(box.last().icon, QMessageBox::Warning);
    });
    window->findChild<QAction *>(QStringLiteral("settingsAction"))->trigger();

    QCOMPARE(linesShown.size(), 2);
    QVERIFY(linesShown.last().startsWith(QStringLiteral("固定位置已按姓名对应到新名单")));
    QVERIFY(laidOut);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not write")));
    window.reset();
}

QTEST_MAIN(TestLogBatch)
#include "test_logbatch.moc"
