// The installed program's first start (no config.ini, a shipped demo class):
// the window offers the demo class or the settings; and after "保存" on a
// machine where nothing opens .xlsx files, it says where the plan went.
#include "common/modaldriver.h"
#include "common/testenvironment.h"

#include "core/storage/appdirectory.h"
#include "core/storage/configstore.h"
#include "ui/settings/settingsdialog.h"
#include "ui/window/mainwindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kQuestion = QStringLiteral("还没有班级。使用示例班级开始，还是打开设置录入班级？");

// <prefix>/bin with <prefix>/share/quorvane/examples/config.ini, and an empty
// configuration folder of the user's.
class InstalledTree
{
public:
    InstalledTree()
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("bin")));
        QDir().mkpath(m_dir.filePath(QStringLiteral("share/quorvane/examples")));
        QFile demo(m_dir.filePath(QStringLiteral("share/quorvane/examples/config.ini")));
        if (!demo.open(QIODevice::WriteOnly) || demo.write(demoConfigText()) <= 0)
            qFatal("cannot write the demo class");
        m_previousConfigHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home-config"))));
        setAppDirectoryForTesting(m_dir.filePath(QStringLiteral("bin")));
    }
    ~InstalledTree()
    {
        setAppDirectoryForTesting(QString());
        qputenv("XDG_CONFIG_HOME", m_previousConfigHome);
    }

    QString configPath() const { return m_dir.filePath(QStringLiteral("home-config/Quorvane/config.ini")); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previousConfigHome;
};

// Starts a window and answers the first-run question with the named button
// (none: no question is expected).
std::unique_ptr<MainWindow> startAndAnswer(const char *button, ModalDriver &driver)
{
    if (button) {
        driver.handle([button](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            box->findChild<QPushButton *>(QLatin1String(button))->click();
        });
    }
    auto window = std::make_unique<MainWindow>();
    window->show();
    QTest::qWait(50);
    if (button)
        (void)QTest::qWaitFor([&driver] { return driver.count() == 1; });
    return window;
}

} // namespace

class TestFirstRun : public QObject
{
    Q_OBJECT

private slots:
    void demoClassChosen();
    void settingsChosen();
    void cancelledAndAskedOnlyOnce();
    void portableUseAsksNothing();
    void savedPlanIsNamedWhenNothingOpensIt();
};

void TestFirstRun::demoClassChosen()
{
    InstalledTree tree;
    QVERIFY(isFirstRun());
    ModalDriver driver;
    const auto window = startAndAnswer("useDemoClassButton", driver);
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().title, QStringLiteral("提示"));
    QCOMPARE(driver.last().text, kQuestion);
    const ClassModel &model = window->modelForTesting();
    QCOMPARE(model.maleNames.size(), 24);
    QCOMPARE(model.femaleNames.size(), 30);
    QCOMPARE(model.fixedPositions.size(), 3);
    const QSettings saved(tree.configPath(), QSettings::IniFormat);
    QCOMPARE(saved.value(QStringLiteral("Male/Names")).toStringList(), model.maleNames);
    // The update check's schedule, written at the start, is kept.
    QVERIFY(saved.value(QStringLiteral("Update/LastCheck")).toDate().isValid());
    QVERIFY(logLines(window.get()).constLast().endsWith(
        QStringLiteral(" - 已使用示例班级: %1").arg(QDir::toNativeSeparators(tree.configPath()))));
    QVERIFY(!isFirstRun());
}

void TestFirstRun::settingsChosen()
{
    InstalledTree tree;
    ModalDriver question;
    ModalDriver settings;
    question.handle([&settings](QWidget *modal) {
        modal->findChild<QPushButton *>(QStringLiteral("openSettingsButton"))->click();
        // Armed once the question is gone, or it would take the question.
        settings.handle([](QWidget *next) {
            QVERIFY(qobject_cast<SettingsDialog *>(next));
            qobject_cast<QDialog *>(next)->reject();
        });
    });
    auto window = std::make_unique<MainWindow>();
    window->show();
    QTRY_COMPARE(settings.count(), 1);
    QCOMPARE(question.last().text, kQuestion);
    QVERIFY(window->modelForTesting().maleNames.isEmpty());
}

void TestFirstRun::cancelledAndAskedOnlyOnce()
{
    InstalledTree tree;
    {
        ModalDriver driver;
        driver.handle([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        auto window = std::make_unique<MainWindow>();
        window->show();
        QTRY_COMPARE(driver.count(), 1);
        QVERIFY(window->modelForTesting().maleNames.isEmpty());
    }
    // The first start wrote config.ini: the next is no first start.
    QVERIFY(QFile::exists(tree.configPath()));
    ModalDriver none;
    const auto window = startAndAnswer(nullptr, none);
    QCOMPARE(none.count(), 0);
}

void TestFirstRun::portableUseAsksNothing()
{
    TestEnvironment env;
    QVERIFY(!isFirstRun());
    ModalDriver none;
    const auto window = startAndAnswer(nullptr, none);
    QCOMPARE(none.count(), 0);
}

void TestFirstRun::savedPlanIsNamedWhenNothingOpensIt()
{
    TestEnvironment env;
    env.writeConfig(demoConfigText());
    env.copyTemplates();
    ConfigStore::writeLastUpdateCheck(env.configPath(), QDate::currentDate());
    const auto window = env.makeWindow();
    window->findChild<QPushButton *>(QStringLiteral("generateButton"))->click();
    // No handler for files: the offscreen platform opens nothing, as a machine without a spreadsheet program.
    ModalDriver driver;
    driver.answer(QMessageBox::Ok);
    window->findChild<QAction *>(QStringLiteral("saveAction"))->trigger();
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().title, QStringLiteral("提示"));
    const QString saved = logLines(window.get()).filter(QStringLiteral("座位表已导出到: ")).constLast().section(QStringLiteral("座位表已导出到: "), 1);
    QVERIFY(QFile::exists(saved));
    QVERIFY2(driver.last().text.startsWith(QStringLiteral("座位表已保存到:\n") + saved + QStringLiteral("\n\n这台电脑上没有能打开 .xlsx 文件的程序")),
             qPrintable(driver.last().text));
}

QTEST_MAIN(TestFirstRun)
#include "test_firstrun.moc"
