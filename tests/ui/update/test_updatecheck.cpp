#include "updatetesting.h"

#include "ui/window/mainwindow.h"
#include "common/modaldriver.h"
#include "common/testenvironment.h"
#include "core/platform/clock.h"
#include "core/storage/configstore.h"
#include "core/update/releaseinfo.h"
#include "core/update/updateendpoint.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

enum class Outcome { UpToDate, NewVersion, ParseFailure, Offer };

const QString kOfferText = QStringLiteral("当前版本: 251008.1730\n\n是否要打开项目页面手动检查更新？");
const QString kParseFailureText = QStringLiteral("无法解析更新信息，可能是API限制或仓库不存在");

// Server behaviours beyond an HTTP status.
constexpr int kNeverAnswers = 0;
constexpr int kRefusesConnection = -1;

QByteArray releaseJson(const QString &tag, const QString &pageUrl = QStringLiteral("https://example.org/r"),
                       const QString &notes = QString())
{
    return QStringLiteral(R"({"tag_name":"%1","html_url":"%2","body":"%3"})").arg(tag, pageUrl, notes).toUtf8();
}

// A newer release padded to `size` bytes by a member nobody reads.
QByteArray paddedRelease(qsizetype size)
{
    QByteArray body = releaseJson(QStringLiteral("251009"));
    body.chop(1);
    body += ",\"assets\":\"\"}";
    const qsizetype padding = size - body.size();
    body.insert(body.size() - 2, QByteArray(std::max<qsizetype>(padding, 0), 'x'));
    return body;
}

// A window with a fresh check date (no start-up check of its own) talking to
// a local server.
struct Fixture
{
    Fixture()
    {
        ConfigStore::writeLastUpdateCheck(env.configPath(), currentDateTime().date());
        window = env.makeWindow();
        window->show();
        logStart = int(logLines(window.get()).size());
    }

    void checkVisibly() { window->findChild<QAction *>(QStringLiteral("checkUpdateAction"))->trigger(); }
    void checkSilently() { QMetaObject::invokeMethod(window.get(), "checkForUpdates", Q_ARG(bool, true)); }
    void check(bool silent) { silent ? checkSilently() : checkVisibly(); }
    QStringList log() const { return logTextsSince(window.get(), logStart); }

    TestEnvironment env;
    ReleaseServer server;
    UpdateTestSetup setup{server};
    UrlCatcher urls;
    std::unique_ptr<MainWindow> window;
    int logStart = 0;
};

QLabel *versionLabel(QWidget *dialog)
{
    const QList<QLabel *> labels = dialog->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->text().startsWith(QStringLiteral("发现新版本: ")))
            return label;
    }
    return nullptr;
}

QStringList buttonTextsLeftToRight(QWidget *dialog)
{
    QList<QPushButton *> buttons = dialog->findChildren<QPushButton *>();
    std::sort(buttons.begin(), buttons.end(), [](QPushButton *a, QPushButton *b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    QStringList texts;
    for (QPushButton *button : buttons)
        texts << button->text();
    return texts;
}

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    // Every answer of the service, in a visible and in a silent check
    void outcome_data();
    void outcome();

    // The request
    void requestCarriesUserAgentAndPath();

    // The new-version dialog
    void dialogShowsNotesAsPlainText();
    void emptyNotesLeaveLabelAndButtonsOnly();
    void downloadOpensReleasePageEvenWhenEmpty();
    void ignoringIsNotRemembered();

    // The offer after a failure
    void offerAcceptedOpensReleasesPage();
};

void TestUpdateCheck::outcome_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("contentLength");
    QTest::addColumn<Outcome>("expected");
    QTest::addColumn<QString>("labelTag"); // the tag as the dialog's rich text holds it

    struct Row
    {
        const char *name;
        int status;
        QByteArray body;
        bool contentLength;
        Outcome expected;
        QString labelTag;
    };
    const Row rows[] = {
        {"current version with v", 200, releaseJson("v251008.1730"), true, Outcome::UpToDate, {}},
        {"a minute later", 200, releaseJson("251008.1731"), true, Outcome::NewVersion, "251008.1731"},
        {"next day", 200, releaseJson("251009"), true, Outcome::NewVersion, "251009"},
        {"next day with v", 200, releaseJson("v251009"), true, Outcome::NewVersion, "251009"},
        {"capital V", 200, releaseJson("V300000.1"), true, Outcome::UpToDate, {}},
        {"pre-release", 200, releaseJson("251010.0900-beta"), true, Outcome::NewVersion, "251010.0900-beta"},
        {"extra segment", 200, releaseJson("251008.1730.1"), true, Outcome::NewVersion, "251008.1730.1"},
        {"older", 200, releaseJson("251007.2359"), true, Outcome::UpToDate, {}},
        {"markup in tag", 200, releaseJson("251009<b>x</b><img src=y>"), true, Outcome::NewVersion,
         "251009&lt;b&gt;x&lt;/b&gt;&lt;img src=y&gt;"},
        {"invalid JSON", 200, "<html>API rate limit exceeded</html>", true, Outcome::ParseFailure, {}},
        {"no tag_name", 200, R"({"message":"Not Found","html_url":"https://example.org"})", true,
         Outcome::ParseFailure, {}},
        {"HTTP 404", 404, R"({"message":"Not Found"})", true, Outcome::Offer, {}},
        {"HTTP 500", 500, "", true, Outcome::Offer, {}},
        {"never answers", kNeverAnswers, {}, true, Outcome::Offer, {}},
        {"connection refused", kRefusesConnection, {}, true, Outcome::Offer, {}},
        {"just under the size limit", 200, paddedRelease(1024 * 1024), true, Outcome::NewVersion, "251009"},
        {"over the size limit", 200, paddedRelease(2 * 1024 * 1024), true, Outcome::ParseFailure, {}},
        {"over the size limit, no length", 200, paddedRelease(2 * 1024 * 1024), false, Outcome::ParseFailure, {}},
    };
    for (bool silent : {false, true}) {
        for (const Row &row : rows) {
            QTest::addRow("%s %s", silent ? "silent" : "visible", row.name)
                << silent << row.status << row.body << row.contentLength << row.expected << row.labelTag;
        }
    }
}

void TestUpdateCheck::outcome()
{
    QFETCH(bool, silent);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, contentLength);
    QFETCH(Outcome, expected);
    QFETCH(QString, labelTag);

    Fixture f;
    if (status == kNeverAnswers) {
        f.server.neverAnswer();
        UpdateEndpoint::setTimeLimitsForTesting(UpdateTestSetup::kShortTimeoutMs, 0);
    } else if (status == kRefusesConnection) {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        QUrl url = f.server.url();
        url.setPort(closed.serverPort());
        closed.close();
        UpdateEndpoint::setLatestReleaseApiUrlForTesting(url);
    } else {
        f.server.answer(status, body, contentLength);
    }

    // A silent check shows the new-version dialog and nothing else. Whatever
    // shows up beyond the expected one is swept away and fails the test.
    const bool expectModal = !silent || expected == Outcome::NewVersion;
    std::optional<ModalSweeper> unexpected;
    ModalDriver driver;
    QString shownLabel;
    if (expectModal) {
        driver.handle([&shownLabel, &unexpected](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                box->button(box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok)->click();
            } else {
                if (QLabel *label = versionLabel(modal))
                    shownLabel = label->text();
                buttonWithText(modal, QStringLiteral("稍后提醒"))->click();
            }
            unexpected.emplace();
        });
    } else {
        unexpected.emplace();
    }

    f.check(silent);
    if (expectModal)
        QTRY_COMPARE_WITH_TIMEOUT(driver.count(), 1, 8000);
    QTRY_VERIFY_WITH_TIMEOUT(checksEnded(f.window.get()), 8000);
    // Nothing more follows, also not a second offer once the time limit is past.
    QTest::qWait(status == kNeverAnswers ? 3 * UpdateTestSetup::kShortTimeoutMs : 50);
    QCOMPARE(unexpected->titles(), QStringList());
    if (status != kRefusesConnection)
        QCOMPARE(f.server.requestCount(), 1);

    QStringList expectedLog;
    if (!silent)
        expectedLog << QStringLiteral("正在检查更新...");
    switch (expected) {
    case Outcome::UpToDate:
        expectedLog << QStringLiteral("当前已是最新版本");
        if (!silent) {
            QCOMPARE(driver.last().icon, QMessageBox::Information);
            QCOMPARE(driver.last().text, QStringLiteral("当前已是最新版本！"));
        }
        break;
    case Outcome::NewVersion:
        QCOMPARE(driver.last().title, QStringLiteral("发现新版本"));
        QCOMPARE(shownLabel, QStringLiteral("发现新版本: <b>%1</b><br>当前版本: 251008.1730").arg(labelTag));
        break;
    case Outcome::ParseFailure:
        expectedLog << QStringLiteral("检查更新失败");
        if (!silent) {
            QCOMPARE(driver.last().icon, QMessageBox::Warning);
            QCOMPARE(driver.last().text, kParseFailureText);
        }
        break;
    case Outcome::Offer:
        if (!silent) {
            QCOMPARE(driver.last().icon, QMessageBox::Information);
            QCOMPARE(driver.last().text, kOfferText);
            expectedLog << QStringLiteral("取消检查更新");
        }
        break;
    }
    if (expectModal && expected != Outcome::NewVersion)
        QCOMPARE(driver.last().title, QStringLiteral("检查更新"));
    QCOMPARE(f.log(), expectedLog);
    QVERIFY(f.urls.opened.isEmpty());
}

void TestUpdateCheck::requestCarriesUserAgentAndPath()
{
    Fixture f;
    f.server.answerRelease(QStringLiteral("251008.1730"));
    f.checkSilently();
    QTRY_VERIFY(checksEnded(f.window.get()));

    const QByteArray request = f.server.lastRequest();
    QVERIFY2(request.startsWith("GET /repos/quorvane-classroom/quorvane-desk/releases/latest HTTP/1.1\r\n"),
             request.constData());
    QVERIFY2(request.toLower().contains("\r\nuser-agent: quorvane/1.0\r\n"), request.constData());
    QVERIFY(!request.toLower().contains("authorization"));
}

void TestUpdateCheck::dialogShowsNotesAsPlainText()
{
    Fixture f;
    const QString notes = QStringLiteral("修复分组\n<b>不是粗体</b>");
    f.server.answerRelease(QStringLiteral("v251009"), QStringLiteral("https://example.org/v251009"), notes);

    ModalDriver driver;
    driver.handle([&](QWidget *dialog) {
        QCOMPARE(dialog->minimumWidth(), 500);
        QCOMPARE(buttonTextsLeftToRight(dialog),
                 QStringList({QStringLiteral("前往下载"), QStringLiteral("稍后提醒"), QStringLiteral("忽略此版本")}));
        auto *notesView = dialog->findChild<QTextEdit *>();
        QVERIFY(notesView);
        QVERIFY(notesView->isReadOnly());
        QCOMPARE(notesView->toPlainText(), notes);
        QCOMPARE(notesView->maximumHeight(), 150);
        const QList<QLabel *> labels = dialog->findChildren<QLabel *>();
        QCOMPARE(labels.size(), 2);
        QCOMPARE(labels.at(1)->text(), QStringLiteral("更新说明:"));
        QVERIFY(labels.at(1)->y() < notesView->y());
        QVERIFY(labels.at(0)->y() < labels.at(1)->y());
        buttonWithText(dialog, QStringLiteral("稍后提醒"))->click();
        QCOMPARE(qobject_cast<QDialog *>(dialog)->result(), int(QDialog::Accepted));
    });
    f.checkVisibly();
    QTRY_COMPARE(driver.count(), 1);
    QTRY_VERIFY(checksEnded(f.window.get()));
    QVERIFY(f.urls.opened.isEmpty());
    QCOMPARE(f.log(), QStringList{QStringLiteral("正在检查更新...")});
}

void TestUpdateCheck::emptyNotesLeaveLabelAndButtonsOnly()
{
    Fixture f;
    f.server.answerRelease(QStringLiteral("251009"), QStringLiteral("https://example.org/251009"));

    ModalDriver driver;
    driver.handle([](QWidget *dialog) {
        QCOMPARE(dialog->findChildren<QLabel *>().size(), 1);
        QVERIFY(!dialog->findChild<QTextEdit *>());
        QCOMPARE(dialog->findChildren<QPushButton *>().size(), 3);
        buttonWithText(dialog, QStringLiteral("稍后提醒"))->click();
    });
    f.checkSilently();
    QTRY_COMPARE(driver.count(), 1);
}

void TestUpdateCheck::downloadOpensReleasePageEvenWhenEmpty()
{
    for (const QString &pageUrl : {QStringLiteral("https://example.org/releases/251009"), QString()}) {
        Fixture f;
        f.server.answerRelease(QStringLiteral("251009"), pageUrl);
        int result = -1;
        ModalDriver driver;
        driver.handle([&result](QWidget *dialog) {
            buttonWithText(dialog, QStringLiteral("前往下载"))->click();
            result = qobject_cast<QDialog *>(dialog)->result();
            QVERIFY(!dialog->isVisible());
        });
        f.checkVisibly();
        QTRY_COMPARE(driver.count(), 1);
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(f.urls.opened, QList<QUrl>{QUrl(pageUrl)});
    }
}

void TestUpdateCheck::ignoringIsNotRemembered()
{
    Fixture f;
    f.server.answerRelease(QStringLiteral("251009"));
    for (int round = 0; round < 2; ++round) {
        int result = -1;
        ModalDriver driver;
        driver.handle([&result](QWidget *dialog) {
            buttonWithText(dialog, QStringLiteral("忽略此版本"))->click();
            result = qobject_cast<QDialog *>(dialog)->result();
        });
        f.checkSilently();
        QTRY_COMPARE(driver.count(), 1);
        QCOMPARE(result, int(QDialog::Rejected));
        QTRY_VERIFY(checksEnded(f.window.get()));
    }
    QCOMPARE(f.server.requestCount(), 2);
    QVERIFY(f.log().isEmpty());
    QVERIFY(!f.env.readConfig().contains("251009"));
}

void TestUpdateCheck::offerAcceptedOpensReleasesPage()
{
    Fixture f;
    f.server.neverAnswer();
    UpdateEndpoint::setTimeLimitsForTesting(UpdateTestSetup::kShortTimeoutMs, 0);
    std::optional<ModalSweeper> unexpected;
    ModalDriver driver;
    driver.handle([&unexpected](QWidget *modal) {
        qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Yes)->click();
        unexpected.emplace();
    });
    f.checkVisibly();
    QTRY_COMPARE(driver.count(), 1);
    QTRY_VERIFY(checksEnded(f.window.get()));
    QTest::qWait(3 * UpdateTestSetup::kShortTimeoutMs);
    QCOMPARE(unexpected->count(), 0);
    QCOMPARE(driver.last().text, kOfferText);
    QCOMPARE(f.urls.opened, QList<QUrl>{QUrl(ReleaseInfo::kReleasesPageUrl)});
    QCOMPARE(f.log(), QStringList({QStringLiteral("正在检查更新..."), QStringLiteral("已打开更新页面")}));
}

QTEST_MAIN(TestUpdateCheck)
#include "test_updatecheck.moc"
