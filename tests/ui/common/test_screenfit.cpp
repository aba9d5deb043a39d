// The window and its dialogs on the screens school computers have. ctest runs
// this once per screen (1366 x 768, 1920 x 1080 at 150 %, 1920 x 1080): the
// specified sizes where the screen holds them, else the screen's area, and
// in either case nothing off-screen, nothing squeezed below its own minimum.
#include "common/modaldriver.h"
#include "common/testenvironment.h"

#include "core/storage/configstore.h"
#include "ui/common/screenfit.h"
#include "ui/settings/settingsdialog.h"
#include "ui/window/mainwindow.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

namespace {

// Widgets a user reads or presses, outside scrolled views.
QList<QWidget *> controls(QWidget *window)
{
    QList<QWidget *> found;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const bool control = qobject_cast<QAbstractButton *>(widget) || qobject_cast<QComboBox *>(widget)
            || qobject_cast<QLineEdit *>(widget) || qobject_cast<QAbstractSpinBox *>(widget)
            || qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractScrollArea *>(widget);
        // Scrolled views and the insides of compound widgets (a spin box's line edit) are not counted.
        bool scrolled = false;
        for (QWidget *parent = widget->parentWidget(); parent && parent != window; parent = parent->parentWidget())
            scrolled = scrolled || qobject_cast<QAbstractScrollArea *>(parent) || qobject_cast<QAbstractSpinBox *>(parent)
                || qobject_cast<QComboBox *>(parent);
        if (control && !scrolled && widget->isVisibleTo(window) && !widget->isWindow())
            found.append(widget);
    }
    return found;
}

// The window inside the screen's area, every control inside the window at
// no less than the size it needs.
void checkFits(QWidget *window)
{
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRect area = window->screen()->availableGeometry();
    QVERIFY2(area.contains(window->frameGeometry()),
             qPrintable(QStringLiteral("%1: %2,%3 %4x%5 outside the screen")
                            .arg(window->objectName())
                            .arg(window->frameGeometry().x())
                            .arg(window->frameGeometry().y())
                            .arg(window->frameGeometry().width())
                            .arg(window->frameGeometry().height())));
    for (QWidget *control : controls(window)) {
        if (!control->isVisible())
            continue;
        const QRect inWindow(control->mapTo(window, QPoint(0, 0)), control->size());
        const QString name = QStringLiteral("%1 in %2").arg(control->objectName().isEmpty()
                                                                 ? QString::fromLatin1(control->metaObject()->className())
                                                                 : control->objectName(),
                                                             window->objectName());
        QVERIFY2(window->rect().contains(inWindow), qPrintable(name + QStringLiteral(" outside the window")));
        const QSize needed = control->minimumSizeHint().expandedTo(control->minimumSize());
        QVERIFY2(control->height() >= needed.height(), qPrintable(name + QStringLiteral(" squeezed")));
    }
}

bool screenHolds(QWidget *window, QSize size)
{
    const QSize available = ScreenFit::availableClientSize(window);
    return size.width() <= available.width() && size.height() <= available.height();
}

} // namespace

class TestScreenFit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowKeepsItsMinimumWhereTheScreenHoldsIt();
    void settingsDialogFitsOnEveryTab();
    void reportAndHistoryDialogsFit();

private:
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MainWindow> window;
};

void TestScreenFit::init()
{
    env = std::make_unique<TestEnvironment>();
    env->writeConfig(demoConfigText());
    ConfigStore::writeLastUpdateCheck(env->configPath(), QDate::currentDate());
    window = env->makeWindow();
    window->setObjectName(QStringLiteral("mainWindow"));
}

void TestScreenFit::cleanup()
{
    window.reset();
    env.reset();
}

void TestScreenFit::windowKeepsItsMinimumWhereTheScreenHoldsIt()
{
    window->show();
    checkFits(window.get());
    const QSize specified(1004, 753);
    const QSize available = ScreenFit::availableClientSize(window.get());
    if (screenHolds(window.get(), specified)) {
        QCOMPARE(window->minimumSize(), specified);
    } else {
        QVERIFY(window->minimumSize().width() <= qMin(specified.width(), available.width()));
        QVERIFY(window->minimumSize().height() <= available.height());
    }
    // The status line and every button stay on the screen.
    QVERIFY(window->statusBar()->isVisible());
    const QRect area = window->screen()->availableGeometry();
    for (QPushButton *button : window->findChildren<QPushButton *>()) {
        if (button->isVisible())
            QVERIFY(area.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())));
    }
    QVERIFY(area.contains(QRect(window->statusBar()->mapToGlobal(QPoint(0, 0)), window->statusBar()->size())));
}

void TestScreenFit::settingsDialogFitsOnEveryTab()
{
    window->show();
    ModalDriver driver;
    driver.handle([](QWidget *modal) {
        auto *dialog = qobject_cast<SettingsDialog *>(modal);
        QVERIFY(dialog);
        if (screenHolds(dialog, QSize(600, 500)))
            QCOMPARE(dialog->size(), QSize(600, 500));
        auto *tabs = dialog->findChild<QTabWidget *>(QStringLiteral("settingsTabs"));
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QTest::qWait(0);
            checkFits(dialog);
        }
        dialog->reject();
    });
    window->findChild<QAction *>(QStringLiteral("settingsAction"))->trigger();
    QCOMPARE(driver.count(), 1);
}

void TestScreenFit::reportAndHistoryDialogsFit()
{
    window->show();
    window->findChild<QPushButton *>(QStringLiteral("generateButton"))->click();
    for (const char *command : {"checkPersonnelButton"}) {
        ModalDriver driver;
        driver.handle([](QWidget *modal) {
            checkFits(modal);
            qobject_cast<QDialog *>(modal)->reject();
        });
        window->findChild<QPushButton *>(QLatin1String(command))->click();
        QCOMPARE(driver.count(), 1);
    }
    for (const char *action : {"historyAction", "aboutAction"}) {
        ModalDriver driver;
        driver.handle([](QWidget *modal) {
            checkFits(modal);
            qobject_cast<QDialog *>(modal)->reject();
        });
        window->findChild<QAction *>(QLatin1String(action))->trigger();
        QCOMPARE(driver.count(), 1);
    }
}

QTEST_MAIN(TestScreenFit)
#include "test_screenfit.moc"
