#include "updatetesting.h"

#include "ui/window/mainwindow.h"
#include "common/modaldriver.h"
#include "common/testenvironment.h"
#include "core/platform/clock.h"
#include "core/storage/configstore.h"
#include "core/update/aboutcontent.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>

#include <functional>
#include <memory>

class TestAboutDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsPictureTextAndButtons();
    void opensWithoutPicture();
    void closeStartsNoCheck_data();
    void closeStartsNoCheck();
    void updateButtonClosesBoxBeforeProgressLine();

private:
    void openAbout(const std::function<void(QDialog *)> &inspect);

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<ReleaseServer> server;
    std::unique_ptr<UpdateTestSetup> setup;
    std::unique_ptr<MainWindow> window;
    int logStart = 0;
};

void TestAboutDialog::init()
{
    env = std::make_unique<TestEnvironment>();
    server = std::make_unique<ReleaseServer>();
    server->answerRelease(QStringLiteral("251008.1730"));
    setup = std::make_unique<UpdateTestSetup>(*server);
    ConfigStore::writeLastUpdateCheck(env->configPath(), currentDateTime().date());
    window = env->makeWindow();
    window->show();
    logStart = int(logLines(window.get()).size());
}

void TestAboutDialog::cleanup()
{
    window.reset();
    setup.reset();
    server.reset();
    env.reset();
    setAboutImagePathForTesting(QString());
}

void TestAboutDialog::openAbout(const std::function<void(QDialog *)> &inspect)
{
    ModalDriver driver;
    driver.handle([&inspect](QWidget *modal) {
        auto *dialog = qobject_cast<QDialog *>(modal);
        QVERIFY(dialog);
        inspect(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    window->findChild<QAction *>(QStringLiteral("aboutAction"))->trigger();
    QCOMPARE(driver.count(), 1);
    // Built anew per call and gone afterwards.
    QVERIFY(!window->findChild<QTextBrowser *>());
}

void TestAboutDialog::showsPictureTextAndButtons()
{
    openAbout([](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("关于"));
        QCOMPARE(dialog->size(), QSize(500, 400));

        // 660 x 250, turned upright, fitted into 120 x 300.
        auto *picture = dialog->findChild<QLabel *>(QStringLiteral("aboutPictureLabel"));
        QVERIFY(picture);
        const QPixmap pixmap = picture->pixmap();
        QCOMPARE(pixmap.height(), 300);
        QVERIFY2(pixmap.width() >= 113 && pixmap.width() <= 114, qPrintable(QString::number(pixmap.width())));

        auto *browser = dialog->findChild<QTextBrowser *>();
        QVERIFY(browser);
        QVERIFY(browser->openExternalLinks());
        QVERIFY(browser->toPlainText().contains(QStringLiteral("版本: 251008.1730")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("相关链接:")));
        QVERIFY(picture->x() < browser->x());

        QPushButton *update = buttonWithText(dialog, QStringLiteral("检查更新"));
        QPushButton *close = buttonWithText(dialog, QStringLiteral("关闭"));
        QVERIFY(update && close);
        QVERIFY(update->x() < close->x());
        // The stretch between them pushes "关闭" to the right edge.
        QVERIFY(close->x() > dialog->width() / 2);
        QVERIFY(update->y() > browser->y());
    });
}

void TestAboutDialog::opensWithoutPicture()
{
    setAboutImagePathForTesting(env->dir() + QStringLiteral("/missing.png"));
    openAbout([](QDialog *dialog) {
        auto *picture = dialog->findChild<QLabel *>(QStringLiteral("aboutPictureLabel"));
        QVERIFY(picture);
        QVERIFY(picture->pixmap().isNull());
        QVERIFY(picture->isVisible());
        QVERIFY(dialog->findChild<QTextBrowser *>()->toPlainText().startsWith(QStringLiteral("Quorvane")));
        QVERIFY(buttonWithText(dialog, QStringLiteral("检查更新")));
        QVERIFY(buttonWithText(dialog, QStringLiteral("关闭")));
    });
    QVERIFY(logTextsSince(window.get(), logStart).isEmpty());
}

void TestAboutDialog::closeStartsNoCheck_data()
{
    QTest::addColumn<bool>("titleBar");
    QTest::newRow("关闭") << false;
    QTest::newRow("title bar") << true;
}

void TestAboutDialog::closeStartsNoCheck()
{
    QFETCH(bool, titleBar);
    int result = -1;
    openAbout([&](QDialog *dialog) {
        if (titleBar)
            dialog->close();
        else
            buttonWithText(dialog, QStringLiteral("关闭"))->click();
        result = dialog->result();
    });
    QCOMPARE(result, int(titleBar ? QDialog::Rejected : QDialog::Accepted));
    QVERIFY(checksEnded(window.get()));
    QVERIFY(logTextsSince(window.get(), logStart).isEmpty());
    QTest::qWait(100);
    QCOMPARE(server->requestCount(), 0);
}

void TestAboutDialog::updateButtonClosesBoxBeforeProgressLine()
{
    ModalDriver upToDate;
    QList<bool> boxVisibleAtLogChange;
    openAbout([&](QDialog *dialog) {
        auto *logView = window->findChild<QTextEdit *>(QStringLiteral("logView"));
        connect(logView, &QTextEdit::textChanged, dialog,
                [&boxVisibleAtLogChange, dialog] { boxVisibleAtLogChange << dialog->isVisible(); });
        upToDate.answer(QMessageBox::Ok);
        buttonWithText(dialog, QStringLiteral("检查更新"))->click();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    });
    QVERIFY(!boxVisibleAtLogChange.isEmpty());
    QVERIFY(!boxVisibleAtLogChange.contains(true));
    QCOMPARE(logTextsSince(window.get(), logStart), QStringList{QStringLiteral("正在检查更新...")});

    // A visible check: its outcome is spoken.
    QTRY_COMPARE(upToDate.count(), 1);
    QCOMPARE(upToDate.last().text, QStringLiteral("当前已是最新版本！"));
    QTRY_VERIFY(checksEnded(window.get()));
    QCOMPARE(logTextsSince(window.get(), logStart),
             QStringList({QStringLiteral("正在检查更新..."), QStringLiteral("当前已是最新版本")}));
}

QTEST_MAIN(TestAboutDialog)
#include "test_aboutdialog.moc"
