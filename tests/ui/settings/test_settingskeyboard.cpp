// The keyboard in the settings dialog and the other dialogs: Tab moves on and
// never types, names never keep a tab, Enter presses the default button and
// Escape cancels, and Tab reaches every field in the order they stand.
#include "common/modaldriver.h"
#include "common/testenvironment.h"
#include "common/widgetlookup.h"

#include "core/storage/configstore.h"
#include "ui/settings/settingsdialog.h"
#include "ui/window/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace {

const QByteArray kConfig = "[Male]\nNames=王浩然,李四\n[Female]\nNames=小红\n[Leaders]\nNames=王浩然\n";

// Keys go where the focus is: the dialog must be the active window.
void activate(QWidget *dialog)
{
    for (int tries = 0; tries < 100 && QApplication::activeWindow() != dialog; ++tries) {
        dialog->activateWindow();
        QTest::qWait(10);
    }
    QCOMPARE(QApplication::activeWindow(), dialog);
}

// The widgets Tab (or Shift+Tab) visits from `start` until it comes back.
QList<QWidget *> tabCycle(QWidget *start, Qt::Key key)
{
    start->setFocus(Qt::TabFocusReason);
    QList<QWidget *> visited{start};
    for (int step = 0; step < 200; ++step) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QWidget *focus = QApplication::focusWidget();
        if (!focus || focus == start)
            break;
        visited.append(focus);
    }
    return visited;
}

// Every field a user can reach with Tab, and Shift+Tab walks the same cycle back.
void checkTabCycle(QWidget *dialog, QWidget *start)
{
    const QList<QWidget *> forward = tabCycle(start, Qt::Key_Tab);
    QList<QWidget *> backward = tabCycle(start, Qt::Key_Backtab);
    std::reverse(backward.begin() + 1, backward.end());
    QCOMPARE(backward, forward);
    for (QWidget *widget : dialog->findChildren<QWidget *>()) {
        const bool reachable = widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)
            && !widget->focusProxy();
        bool inScrolledView = false;
        for (QWidget *parent = widget->parentWidget(); parent && parent != dialog; parent = parent->parentWidget())
            inScrolledView = inScrolledView || qobject_cast<QAbstractScrollArea *>(parent);
        if (reachable && !inScrolledView)
            QVERIFY2(forward.contains(widget), qPrintable(widget->objectName() + QStringLiteral(" never reached with Tab")));
    }
}

} // namespace

class TestSettingsKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tabMovesOnInNameEditors();
    void tabsInNamesStrippedOnSaveAndSaidOnce();
    void tabsInConfigStrippedOnLoadAndSaidOnce();
    void enterSavesAndEscapeCancels();
    void enterOnFixedPositionTabAddsThePin();
    void tabOrderFollowsTheLayout();
    void otherDialogsTakeEnterEscapeAndTab();

private:
    void withDialog(const std::function<void(SettingsDialog *)> &body);

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MainWindow> window;
};

void TestSettingsKeyboard::init()
{
    env = std::make_unique<TestEnvironment>();
    env->writeConfig(kConfig);
    ConfigStore::writeLastUpdateCheck(env->configPath(), QDate::currentDate());
    window = env->makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestSettingsKeyboard::cleanup()
{
    window.reset();
    env.reset();
}

void TestSettingsKeyboard::withDialog(const std::function<void(SettingsDialog *)> &body)
{
    ModalDriver driver;
    driver.handle([&](QWidget *modal) {
        auto *dialog = qobject_cast<SettingsDialog *>(modal);
        QVERIFY(dialog);
        activate(dialog);
        body(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    child<QAction>(window.get(), QStringLiteral("settingsAction"))->trigger();
    QCOMPARE(driver.count(), 1);
}

void TestSettingsKeyboard::tabMovesOnInNameEditors()
{
    withDialog([](SettingsDialog *dialog) {
        for (const char *name : {"maleNamesEdit", "femaleNamesEdit", "leaderNamesEdit", "boarderNamesEdit"}) {
            auto *edit = child<QPlainTextEdit>(dialog, QLatin1String(name));
            child<QTabWidget>(dialog, QStringLiteral("settingsTabs"))->setCurrentWidget(edit->parentWidget()->parentWidget());
            const QString before = edit->toPlainText();
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_Tab);
            QVERIFY2(QApplication::focusWidget() != edit, name);
            QCOMPARE(edit->toPlainText(), before);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            QVERIFY2(QApplication::focusWidget() == edit,
                     qPrintable(QStringLiteral("%1: Shift+Tab reached %2").arg(QLatin1String(name), QApplication::focusWidget()->objectName())));
            QCOMPARE(edit->toPlainText(), before);
        }
    });
}

void TestSettingsKeyboard::tabsInNamesStrippedOnSaveAndSaidOnce()
{
    withDialog([](SettingsDialog *dialog) {
        // Pasted text still can bring them.
        child<QPlainTextEdit>(dialog, QStringLiteral("maleNamesEdit"))->setPlainText(QStringLiteral("\t\t王浩然\n李\t四\n\t"));
        child<QPlainTextEdit>(dialog, QStringLiteral("leaderNamesEdit"))->setPlainText(QStringLiteral("王浩然\t"));
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
    });
    const QSettings saved(env->configPath(), QSettings::IniFormat);
    QCOMPARE(saved.value(QStringLiteral("Male/Names")).toStringList(), (QStringList{"王浩然", "李四"}));
    QCOMPARE(saved.value(QStringLiteral("Leaders/Names")).toStringList(), QStringList{"王浩然"});
    QVERIFY(window->modelForTesting().isLeader(1));
    const QStringList lines = logLines(window.get());
    QCOMPARE(lines.filter(QStringLiteral("控制字符")), QStringList{"名单中有 4 个姓名含有制表符等控制字符，已去掉"});
}

void TestSettingsKeyboard::tabsInConfigStrippedOnLoadAndSaidOnce()
{
    window.reset();
    env->writeConfig("[Male]\nNames=\"\\t\\t王浩然\", 李四\n[Leaders]\nNames=\"王浩然\\t\"\n");
    window = env->makeWindow();
    const ClassModel &model = window->modelForTesting();
    QCOMPARE(model.maleNames, (QStringList{"王浩然", "李四"}));
    QVERIFY(model.isLeader(1));
    QCOMPARE(logLines(window.get()).filter(QStringLiteral("控制字符")),
             QStringList{"名单中有 2 个姓名含有制表符等控制字符，已去掉"});
}

void TestSettingsKeyboard::enterSavesAndEscapeCancels()
{
    withDialog([](SettingsDialog *dialog) {
        child<QTabWidget>(dialog, QStringLiteral("settingsTabs"))->setCurrentIndex(2);
        auto *total = child<QSpinBox>(dialog, QStringLiteral("groupTotalSpin_0"));
        total->setFocus();
        total->setValue(5);
        QTest::keyClick(total, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    });
    QCOMPARE(window->modelForTesting().groupConfigs.at(0).total, 6);
    withDialog([](SettingsDialog *dialog) {
        child<QTabWidget>(dialog, QStringLiteral("settingsTabs"))->setCurrentIndex(2);
        auto *total = child<QSpinBox>(dialog, QStringLiteral("groupTotalSpin_0"));
        total->setFocus();
        total->setValue(5);
        QTest::keyClick(total, Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    });
    QCOMPARE(window->modelForTesting().groupConfigs.at(0).total, 5);
}

void TestSettingsKeyboard::enterOnFixedPositionTabAddsThePin()
{
    withDialog([](SettingsDialog *dialog) {
        auto *tabs = child<QTabWidget>(dialog, QStringLiteral("settingsTabs"));
        tabs->setCurrentIndex(tabs->count() - 1);
        auto *name = child<QLineEdit>(dialog, QStringLiteral("fixedNameEdit"));
        name->setFocus();
        name->setText(QStringLiteral("李四"));
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QCOMPARE(child<QTableWidget>(dialog, QStringLiteral("fixedPositionTable"))->rowCount(), 1);
        // Back on another tab, Enter saves again.
        tabs->setCurrentIndex(0);
        QVERIFY(child<QPushButton>(dialog, QStringLiteral("saveButton"))->isDefault());
    });
    QCOMPARE(window->modelForTesting().fixedPositions.keys(), QList<PersonId>{2});
}

void TestSettingsKeyboard::tabOrderFollowsTheLayout()
{
    withDialog([](SettingsDialog *dialog) {
        auto *male = child<QPlainTextEdit>(dialog, QStringLiteral("maleNamesEdit"));
        const QList<QWidget *> cycle = tabCycle(male, Qt::Key_Tab);
        QStringList names;
        for (QWidget *widget : cycle)
            names.append(widget->objectName());
        // Top to bottom, then the dialog's buttons, then the tabs.
        QCOMPARE(names, (QStringList{"maleNamesEdit", "femaleNamesEdit", "importRosterButton", "saveButton",
                                     "cancelButton", "qt_tabwidget_tabbar"}));
        auto *tabs = child<QTabWidget>(dialog, QStringLiteral("settingsTabs"));
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            checkTabCycle(dialog, child<QPushButton>(dialog, QStringLiteral("saveButton")));
        }
        // In the group grid, row by row: enabled, total, males.
        tabs->setCurrentIndex(2);
        const QList<QWidget *> grid = tabCycle(child<QWidget>(dialog, QStringLiteral("groupEnabledCombo_0")), Qt::Key_Tab);
        QCOMPARE(grid.at(1)->objectName(), QStringLiteral("groupTotalSpin_0"));
        QCOMPARE(grid.at(2)->objectName(), QStringLiteral("groupMalesSpin_0"));
        QCOMPARE(grid.at(3)->objectName(), QStringLiteral("groupEnabledCombo_1"));
    });
}

void TestSettingsKeyboard::otherDialogsTakeEnterEscapeAndTab()
{
    child<QPushButton>(window.get(), QStringLiteral("generateButton"))->click();
    const struct
    {
        const char *trigger;
        bool action;
        const char *defaultButton;
    } dialogs[] = {
        {"checkPersonnelButton", false, "closeButton"},
        {"historyAction", true, "restoreButton"},
        {"aboutAction", true, "aboutCloseButton"},
    };
    for (const auto &entry : dialogs) {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            ModalDriver driver;
            driver.handle([&](QWidget *modal) {
                auto *dialog = qobject_cast<QDialog *>(modal);
                activate(dialog);
                auto *button = child<QPushButton>(dialog, QLatin1String(entry.defaultButton));
                QVERIFY2(button->isDefault(), entry.trigger);
                checkTabCycle(dialog, button);
                QTest::keyClick(QApplication::focusWidget(), key);
                QVERIFY2(!dialog->isVisible(), entry.trigger);
                QCOMPARE(dialog->result(), int(key == Qt::Key_Escape ? QDialog::Rejected : QDialog::Accepted));
            });
            if (entry.action)
                child<QAction>(window.get(), QLatin1String(entry.trigger))->trigger();
            else
                child<QPushButton>(window.get(), QLatin1String(entry.trigger))->click();
            QCOMPARE(driver.count(), 1);
        }
    }
}

QTEST_MAIN(TestSettingsKeyboard)
#include "test_settingskeyboard.moc"
