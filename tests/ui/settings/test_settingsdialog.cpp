// The settings dialog and its fixed-position tab, driven through the real
// window: what the widgets show, what "保存" and "取消" change in memory, and
// what lands in config.ini.
#include "ui/window/mainwindow.h"
#include "common/modaldriver.h"
#include "common/testenvironment.h"
#include "core/platform/clock.h"
#include "core/storage/configstore.h"
#include "ui/settings/settingsdialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <functional>

#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace {

const QDateTime kNow(QDate(2024, 3, 1), QTime(9, 5, 3));
const QString kReset = QStringLiteral("09:05:03 - 系统已重置");

// Boys 1-3, girls 4-6; 王五 (3) and 小兰 (5) are pinned, 9 names nobody.
const QByteArray kConfig = "[Male]\nNames=张三,李四,王五\n"
                           "[Female]\nNames=小红,小兰,小芳\n"
                           "[Leaders]\nNames=张三,小红\n"
                           "[Boarders]\nNames=李四\n"
                           "[Style]\nCurrent=样式1\nCustomPath=/old/template.xlsx\n"
                           "[FixedPositions]\nList=\"3,2,1\", \"5,4,6\"\n"
                           "[Constraints]\nMustTogether=\"1,4\"\nMustSeparate=\"2,3\"\n"
                           "[GroupConfig_0]\nenabled=true\ntotal=6\nmales=5\nfemales=1\n";

template<typename T>
T *child(QWidget *parent, const QString &name)
{
    T *widget = parent->findChild<T *>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
}

#ifdef Q_OS_LINUX
// How often `action` writes the file `name` in `directory`: an atomic write
// shows as one rename onto it, a direct write as a modification. (QSettings
// also opens the file for writing without writing, so closes say nothing.)
int countWrites(const QString &directory, const QString &name, const std::function<void()> &action)
{
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0 || inotify_add_watch(fd, QFile::encodeName(directory).constData(), IN_MOVED_TO | IN_MODIFY) < 0)
        qFatal("inotify unavailable");
    action();
    int writes = 0;
    alignas(inotify_event) char buffer[64 * 1024];
    for (ssize_t length; (length = read(fd, buffer, sizeof buffer)) > 0;) {
        for (char *at = buffer; at < buffer + length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(at);
            if (event->len > 0 && QFile::decodeName(event->name) == name)
                ++writes;
            at += sizeof(inotify_event) + event->len;
        }
    }
    close(fd);
    return writes;
}
#endif

} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Dialog and "取消"
    void showsCurrentState();
    void cancelChangesNothing();
    void totalLowersMales();
    void disabledGroupKeepsValuesAndSavesThem();
    void generationTriesShownAndSaved();
    void useSolverShownAndSaved();
    void customRowFollowsStyle();
    void browsePicksTemplate();

    // Summary line and "检查设置"
    void summaryFollowsEdits();
    void checkListsFindingsWithoutSavingOrClosing();

    // "保存"
    void saveSplitsRosterLines();
    void saveWithUnchangedRosterResets();
    void saveWritesCustomPathOnlyForCustomStyle();
    void savePinsFollowStudents();
    void saveFailureIsReported();
    void saveWritesTheFileOnce();
    void saveWithByteOrderMarkIsNoFailure();

    // Fixed positions
    void addRefusals_data();
    void addRefusals();
    void addReplacesOnlyOnYes();
    void addRefusesTakenSeat();
    void addResetsFieldsAndSurvivesCancel();
    void deleteSelectedRows();
    void clearAsksFirst();

private:
    // Opens "设置", runs body on the dialog, and closes it with "取消" unless
    // body closed it.
    void withDialog(const std::function<void(SettingsDialog *)> &body);
    QVariant fileValue(const QString &key) const;
    void addPin(SettingsDialog *dialog, const QString &name, int group, int seat);

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MainWindow> window;
};

void TestSettingsDialog::init()
{
    setClockForTesting([] { return kNow; });
    env = std::make_unique<TestEnvironment>();
    env->writeConfig(kConfig);
    ConfigStore::writeLastUpdateCheck(env->configPath(), kNow.date());
    window = env->makeWindow();
}

void TestSettingsDialog::cleanup()
{
    window.reset();
    env.reset();
    setClockForTesting({});
}

void TestSettingsDialog::withDialog(const std::function<void(SettingsDialog *)> &body)
{
    ModalDriver driver;
    driver.handle([&](QWidget *modal) {
        auto *dialog = qobject_cast<SettingsDialog *>(modal);
        if (dialog)
            body(dialog);
        if (modal->isVisible())
            child<QPushButton>(modal, QStringLiteral("cancelButton"))->click();
    });
    child<QAction>(window.get(), QStringLiteral("settingsAction"))->trigger();
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().className, QStringLiteral("SettingsDialog"));
}

QVariant TestSettingsDialog::fileValue(const QString &key) const
{
    // Read a copy, so the answer comes from the bytes on disk.
    static int copies = 0;
    const QString copy = env->dir() + QStringLiteral("/readback%1.ini").arg(++copies);
    QFile::copy(env->configPath(), copy);
    const QSettings settings(copy, QSettings::IniFormat);
    return settings.value(key);
}

void TestSettingsDialog::addPin(SettingsDialog *dialog, const QString &name, int group, int seat)
{
    child<QLineEdit>(dialog, QStringLiteral("fixedNameEdit"))->setText(name);
    child<QSpinBox>(dialog, QStringLiteral("fixedGroupSpin"))->setValue(group);
    child<QSpinBox>(dialog, QStringLiteral("fixedSeatSpin"))->setValue(seat);
    child<QPushButton>(dialog, QStringLiteral("addFixedButton"))->click();
}

void TestSettingsDialog::showsCurrentState()
{
    withDialog([&](SettingsDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("设置"));
        QCOMPARE(dialog->size(), QSize(600, 500));
        auto *tabs = child<QTabWidget>(dialog, QStringLiteral("settingsTabs"));
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions.append(tabs->tabText(i));
        QCOMPARE(captions, QStringList({QStringLiteral("人员名单"), QStringLiteral("人员设置"), QStringLiteral("分组设置"),
                                        QStringLiteral("样式设置"), QStringLiteral("固定位置")}));
        QCOMPARE(child<QPlainTextEdit>(dialog, QStringLiteral("maleNamesEdit"))->toPlainText(),
                 QStringLiteral("张三\n李四\n王五"));
        QCOMPARE(child<QPlainTextEdit>(dialog, QStringLiteral("leaderNamesEdit"))->toPlainText(),
                 QStringLiteral("小红\n张三"));
        QCOMPARE(child<QSpinBox>(dialog, QStringLiteral("groupTotalSpin_0"))->value(), 6);
        QCOMPARE(child<QSpinBox>(dialog, QStringLiteral("groupMalesSpin_0"))->value(), 5);
        QCOMPARE(child<QSpinBox>(dialog, QStringLiteral("groupFemalesSpin_0"))->value(), 1);
        QVERIFY(!child<QSpinBox>(dialog, QStringLiteral("groupFemalesSpin_0"))->isEnabled());
        auto *lastGroup = child<QComboBox>(dialog, QStringLiteral("groupEnabledCombo_9"));
        QCOMPARE(lastGroup->currentText(), QStringLiteral("禁用"));
        QVERIFY(!child<QSpinBox>(dialog, QStringLiteral("groupTotalSpin_9"))->isEnabled());
        QCOMPARE(child<QComboBox>(dialog, QStringLiteral("styleCombo"))->currentData().toString(), QStringLiteral("样式1"));
        QVERIFY(child<QLineEdit>(dialog, QStringLiteral("customPathEdit"))->isHidden());
        QCOMPARE(tableRows(child<QTableWidget>(dialog, QStringLiteral("fixedPositionTable"))),
                 QStringList({QStringLiteral("王五|2|1"), QStringLiteral("小兰|4|6")}));
    });
}

void TestSettingsDialog::cancelChangesNothing()
{
    ClassModel &model = window->modelForTesting();
    model.generatedGroups = {{1, 4}, {2, 5}, {3, 6}};
    const ClassModel before = model;
    const QStringList logBefore = logLines(window.get());
    const QByteArray fileBefore = env->readConfig();

    withDialog([&](SettingsDialog *dialog) {
        child<QPlainTextEdit>(dialog, QStringLiteral("maleNamesEdit"))->setPlainText(QStringLiteral("新人"));
        child<QPlainTextEdit>(dialog, QStringLiteral("boarderNamesEdit"))->setPlainText(QStringLiteral("新人"));
        child<QSpinBox>(dialog, QStringLiteral("groupTotalSpin_1"))->setValue(3);
        child<QComboBox>(dialog, QStringLiteral("groupEnabledCombo_2"))->setCurrentIndex(1);
        child<QComboBox>(dialog, QStringLiteral("styleCombo"))->setCurrentIndex(2);
        child<QPushButton>(dialog, QStringLiteral("cancelButton"))->click();
    });

    QCOMPARE(model.maleNames, before.maleNames);
    QCOMPARE(model.boarderNames, before.boarderNames);
    QCOMPARE(model.groupConfigs, before.groupConfigs);
    QCOMPARE(model.mustTogether, before.mustTogether);
    QCOMPARE(model.mustSeparate, before.mustSeparate);
    QCOMPARE(model.fixedPositions, before.fixedPositions);
    QCOMPARE(model.generatedGroups, before.generatedGroups);
    QCOMPARE(window->currentStyleForTesting(), QStringLiteral("样式1"));
    QCOMPARE(logLines(window.get()), logBefore);
    QCOMPARE(env->readConfig(), fileBefore);
}

void TestSettingsDialog::totalLowersMales()
{
    int males = -1;
    int females = -1;
    int malesMaximum = -1;
    int femalesAfterMales = -1;
    withDialog([&](SettingsDialog *dialog) {
        child<QSpinBox>(dialog, QStringLiteral("groupTotalSpin_0"))->setValue(4);
        males = child<QSpinBox>(dialog, QStringLiteral("groupMalesSpin_0"))->value();
        females = child<QSpinBox>(dialog, QStringLiteral("groupFemalesSpin_0"))->value();
        malesMaximum = child<QSpinBox>(dialog, QStringLiteral("groupMalesSpin_0"))->maximum();
        child<QSpinBox>(dialog, QStringLiteral("groupMalesSpin_0"))->setValue(1);
        femalesAfterMales = child<QSpinBox>(dialog, QStringLiteral("groupFemalesSpin_0"))->value();
    });
    QCOMPARE(males, 4);
    QCOMPARE(females, 0);
    QCOMPARE(malesMaximum, 4);
    QCOMPARE(femalesAfterMales, 3);
}

void TestSettingsDialog::summaryFollowsEdits()
{
    QStringList texts;
    QList<bool> red;
    bool onGroupTab = false;
    withDialog([&](SettingsDialog *dialog) {
        auto *label = child<QLabel>(dialog, QStringLiteral("settingsSummaryLabel"));
        onGroupTab = child<QTabWidget>(dialog, QStringLiteral("settingsTabs"))->widget(2)->isAncestorOf(label);
        const auto record = [&] {
            texts.append(label->text());
            red.append(label->styleSheet().contains(QStringLiteral("#c00000")));
        };
        record();
        for (int i = 1; i < kGroupCount; ++i)
            child<QComboBox>(dialog, QStringLiteral("groupEnabledCombo_%1").arg(i))->setCurrentIndex(1);
        record();
        child<QSpinBox>(dialog, QStringLiteral("groupMalesSpin_0"))->setValue(3);
        record();
        child<QPlainTextEdit>(dialog, QStringLiteral("maleNamesEdit"))->appendPlainText(QStringLiteral("赵六"));
        record();
    });
    QVERIFY(onGroupTab);
    QCOMPARE(texts, QStringList({QStringLiteral("座位 54/6　男生目标 21/3　女生目标 33/3"),
                                 QStringLiteral("座位 6/6　男生目标 5/3　女生目标 1/3"),
                                 QStringLiteral("座位 6/6　男生目标 3/3　女生目标 3/3"),
                                 QStringLiteral("座位 6/7　男生目标 3/4　女生目标 3/3")}));
    QCOMPARE(red, (QList<bool>{true, true, false, true}));
}

void TestSettingsDialog::checkListsFindingsWithoutSavingOrClosing()
{
    const QByteArray fileBefore = env->readConfig();
    QString title;
    QStringList lines;
    bool stillOpen = false;
    bool fileUntouched = false;
    withDialog([&](SettingsDialog *dialog) {
        for (int i = 1; i < kGroupCount; ++i)
            child<QComboBox>(dialog, QStringLiteral("groupEnabledCombo_%1").arg(i))->setCurrentIndex(1);
        child<QSpinBox>(dialog, QStringLiteral("groupMalesSpin_0"))->setValue(3);
        ModalDriver findings;
        findings.handle([&](QWidget *modal) {
            title = modal->windowTitle();
            lines = child<QTextBrowser>(modal, QStringLiteral("settingsFindingsView"))->toPlainText().split(u'\n');
            child<QPushButton>(modal, QStringLiteral("closeButton"))->click();
        });
        child<QPushButton>(dialog, QStringLiteral("checkSettingsButton"))->click();
        stillOpen = dialog->isVisible();
        fileUntouched = env->readConfig() == fileBefore;
    });
    QCOMPARE(title, QStringLiteral("检查设置"));
    QVERIFY(stillOpen);
    QVERIFY(fileUntouched);
    QCOMPARE(lines.value(0), QStringLiteral("共 4 项：将无法满足 4 项，可能无法满足 0 项，提示 0 项"));
    // Pins and requirements are judged against the edited groups.
    QVERIFY(lines.contains(QStringLiteral("[将无法满足] 王五 固定在组2座位1，但组2 未启用")));
    QVERIFY(lines.contains(QStringLiteral("[将无法满足] 名单中有 2 名组长（张三、小红），只启用了 1 个组：有的组会有两名组长")));
    QVERIFY(lines.contains(QStringLiteral("修改：再启用 1 个组，或从要求中去掉 1 人")));
}

void TestSettingsDialog::disabledGroupKeepsValuesAndSavesThem()
{
    bool totalEnabled = true;
    bool malesEnabled = true;
    withDialog([&](SettingsDialog *dialog) {
        child<QComboBox>(dialog, QStringLiteral("groupEnabledCombo_0"))->setCurrentIndex(1);
        totalEnabled = child<QSpinBox>(dialog, QStringLiteral("groupTotalSpin_0"))->isEnabled();
        malesEnabled = child<QSpinBox>(dialog, QStringLiteral("groupMalesSpin_0"))->isEnabled();
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
    });
    QVERIFY(!totalEnabled);
    QVERIFY(!malesEnabled);
    QCOMPARE(window->modelForTesting().groupConfigs.at(0), (GroupConfig{false, 6, 5, 1}));
    QCOMPARE(fileValue(QStringLiteral("GroupConfig_0/enabled")).toBool(), false);
    QCOMPARE(fileValue(QStringLiteral("GroupConfig_0/total")).toInt(), 6);
    QCOMPARE(fileValue(QStringLiteral("GroupConfig_0/males")).toInt(), 5);
    QCOMPARE(fileValue(QStringLiteral("GroupConfig_0/females")).toInt(), 1);
}

void TestSettingsDialog::generationTriesShownAndSaved()
{
    window->modelForTesting().generationTries = 35;
    QSpinBox *tries = nullptr;
    int shown = 0;
    withDialog([&](SettingsDialog *dialog) {
        tries = child<QSpinBox>(dialog, QStringLiteral("generationTriesSpin"));
        shown = tries->value();
        QCOMPARE(tries->minimum(), 1);
        QCOMPARE(tries->maximum(), 200);
        tries->setValue(1);
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
    });
    QCOMPARE(shown, 35);
    QCOMPARE(window->modelForTesting().generationTries, 1);
    QCOMPARE(fileValue(QStringLiteral("Generation/Tries")).toInt(), 1);
}

void TestSettingsDialog::useSolverShownAndSaved()
{
    QCOMPARE(window->modelForTesting().useSolver, true);
    bool shown = false;
    QString text;
    withDialog([&](SettingsDialog *dialog) {
        auto *check = child<QCheckBox>(dialog, QStringLiteral("useSolverCheck"));
        shown = check->isChecked();
        text = check->text();
        check->setChecked(false);
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
    });
    QVERIFY(shown);
    QCOMPARE(text, QStringLiteral("无法满足要求时使用约束求解"));
    QCOMPARE(window->modelForTesting().useSolver, false);
    QCOMPARE(fileValue(QStringLiteral("Generation/UseSolver")).toBool(), false);
}

void TestSettingsDialog::customRowFollowsStyle()
{
    window.reset();
    env->writeConfig(QByteArray(kConfig).replace("Current=样式1", "Current=自定义"));
    ConfigStore::writeLastUpdateCheck(env->configPath(), kNow.date());
    window = env->makeWindow();

    QList<bool> hidden;
    QString text;
    withDialog([&](SettingsDialog *dialog) {
        auto *combo = child<QComboBox>(dialog, QStringLiteral("styleCombo"));
        auto *edit = child<QLineEdit>(dialog, QStringLiteral("customPathEdit"));
        auto *browse = child<QPushButton>(dialog, QStringLiteral("browseButton"));
        auto *label = child<QLabel>(dialog, QStringLiteral("customPathLabel"));
        hidden << edit->isHidden();
        combo->setCurrentIndex(combo->findData(QStringLiteral("样式2")));
        hidden << edit->isHidden() << browse->isHidden() << label->isHidden();
        combo->setCurrentIndex(combo->findData(QStringLiteral("自定义")));
        hidden << edit->isHidden() << browse->isHidden() << label->isHidden();
        text = edit->text();
    });
    QCOMPARE(hidden, QList<bool>({false, true, true, true, false, false, false}));
    QCOMPARE(text, QStringLiteral("/old/template.xlsx"));
}

void TestSettingsDialog::browsePicksTemplate()
{
    const QString chosen = env->dir() + QStringLiteral("/我的样式.xlsx");
    QFile file(chosen);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    ModalDriver::Seen seen;
    QString directory;
    QStringList filters;
    QString before;
    QString after;
    withDialog([&](SettingsDialog *dialog) {
        auto *combo = child<QComboBox>(dialog, QStringLiteral("styleCombo"));
        combo->setCurrentIndex(combo->findData(QStringLiteral("自定义")));
        auto *edit = child<QLineEdit>(dialog, QStringLiteral("customPathEdit"));
        before = edit->text();

        ModalDriver chooser;
        chooser.handle([&](QWidget *modal) {
            auto *fileDialog = qobject_cast<QFileDialog *>(modal);
            if (!fileDialog) {
                qobject_cast<QDialog *>(modal)->reject();
                return;
            }
            directory = fileDialog->directory().absolutePath();
            filters = fileDialog->nameFilters();
            chooseInFileDialog(fileDialog, chosen);
        });
        child<QPushButton>(dialog, QStringLiteral("browseButton"))->click();
        seen = chooser.last();
        after = edit->text();
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
    });
    QVERIFY(before.isEmpty());
    QCOMPARE(seen.title, QStringLiteral("选择自定义样式文件"));
    QCOMPARE(directory, QDir(env->dir()).absolutePath());
    QCOMPARE(filters, QStringList{QStringLiteral("Excel文件 (*.xlsx)")});
    QCOMPARE(after, chosen);
    QCOMPARE(fileValue(QStringLiteral("Style/CustomPath")).toString(), chosen);
    QCOMPARE(fileValue(QStringLiteral("Style/Current")).toString(), QStringLiteral("自定义"));
}

void TestSettingsDialog::saveSplitsRosterLines()
{
    withDialog([&](SettingsDialog *dialog) {
        child<QPlainTextEdit>(dialog, QStringLiteral("maleNamesEdit"))->setPlainText(QStringLiteral("张三\n\n李四 \n王五\n"));
        child<QPlainTextEdit>(dialog, QStringLiteral("femaleNamesEdit"))->setPlainText(QStringLiteral("小红\n小兰\n小芳"));
        child<QPlainTextEdit>(dialog, QStringLiteral("leaderNamesEdit"))->setPlainText(QStringLiteral("王五\n\n王五\n小芳"));
        child<QPlainTextEdit>(dialog, QStringLiteral("boarderNamesEdit"))->setPlainText(QString());
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
    });
    ClassModel &model = window->modelForTesting();
    const QStringList boys = {QStringLiteral("张三"), QStringLiteral("李四 "), QStringLiteral("王五")};
    QCOMPARE(model.maleNames, boys);
    QCOMPARE(model.nameToId.value(QStringLiteral("李四 ")), 2);
    QVERIFY(!model.nameToId.contains(QStringLiteral("李四")));
    QCOMPARE(model.leaderNames, (QSet<QString>{QStringLiteral("王五"), QStringLiteral("小芳")}));
    QVERIFY(model.boarderNames.isEmpty());
    QCOMPARE(fileValue(QStringLiteral("Male/Names")).toStringList(), boys);
    QCOMPARE(fileValue(QStringLiteral("Leaders/Names")).toStringList(),
             sortedNames({QStringLiteral("王五"), QStringLiteral("小芳")}));
    QCOMPARE(fileValue(QStringLiteral("Boarders/Names")).toStringList(), QStringList{});
}

void TestSettingsDialog::saveWithUnchangedRosterResets()
{
    ClassModel &model = window->modelForTesting();
    model.generatedGroups = {{1, 4}, {2, 5}, {3, 6}};
    int result = -1;
    withDialog([&](SettingsDialog *dialog) {
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
        result = dialog->isVisible() ? -1 : dialog->result();
    });
    QCOMPARE(result, int(QDialog::Accepted));

    QVERIFY(model.generatedGroups.isEmpty());
    QVERIFY(model.mustTogether.isEmpty());
    QVERIFY(model.mustSeparate.isEmpty());
    QCOMPARE(child<QTableWidget>(window.get(), QStringLiteral("constraintTable"))->rowCount(), 0);
    QCOMPARE(logLines(window.get()), QStringList{kReset});
    QCOMPARE(child<QLabel>(window.get(), QStringLiteral("statusLabel"))->text(), kReset);
    QCOMPARE(model.fixedPositions, (QMap<PersonId, FixedPosition>{{3, {2, 1}}, {5, {4, 6}}}));

    // Written before the reset; emptied by the save at shutdown.
    QCOMPARE(fileValue(QStringLiteral("Constraints/MustTogether")).toStringList(), QStringList{QStringLiteral("1,4")});
    window.reset();
    QCOMPARE(fileValue(QStringLiteral("Constraints/MustTogether")).toStringList(), QStringList{});
    QCOMPARE(fileValue(QStringLiteral("Constraints/MustSeparate")).toStringList(), QStringList{});
    QCOMPARE(fileValue(QStringLiteral("FixedPositions/List")).toStringList(),
             QStringList({QStringLiteral("3,2,1"), QStringLiteral("5,4,6")}));
    QCOMPARE(fileValue(QStringLiteral("Male/Names")).toStringList(),
             QStringList({QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")}));
    QCOMPARE(fileValue(QStringLiteral("Update/LastCheck")).toDate(), kNow.date());
}

void TestSettingsDialog::saveWritesCustomPathOnlyForCustomStyle()
{
    withDialog([&](SettingsDialog *dialog) {
        auto *combo = child<QComboBox>(dialog, QStringLiteral("styleCombo"));
        combo->setCurrentIndex(combo->findData(QStringLiteral("样式2")));
        child<QLineEdit>(dialog, QStringLiteral("customPathEdit"))->setText(QStringLiteral("/ignored.xlsx"));
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
    });
    QCOMPARE(window->currentStyleForTesting(), QStringLiteral("样式2"));
    QCOMPARE(fileValue(QStringLiteral("Style/Current")).toString(), QStringLiteral("样式2"));
    QCOMPARE(fileValue(QStringLiteral("Style/CustomPath")).toString(), QStringLiteral("/old/template.xlsx"));

    withDialog([&](SettingsDialog *dialog) {
        auto *combo = child<QComboBox>(dialog, QStringLiteral("styleCombo"));
        combo->setCurrentIndex(combo->findData(QStringLiteral("自定义")));
        child<QLineEdit>(dialog, QStringLiteral("customPathEdit"))->setText(QStringLiteral("/new/模板.xlsx"));
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
    });
    QCOMPARE(fileValue(QStringLiteral("Style/Current")).toString(), QStringLiteral("自定义"));
    QCOMPARE(fileValue(QStringLiteral("Style/CustomPath")).toString(), QStringLiteral("/new/模板.xlsx"));
}

void TestSettingsDialog::savePinsFollowStudents()
{
    // 小红 (4) is pinned too; she leaves, a boy is added at the top.
    window->modelForTesting().fixedPositions.insert(4, FixedPosition{3, 3});
    withDialog([&](SettingsDialog *dialog) {
        child<QPlainTextEdit>(dialog, QStringLiteral("maleNamesEdit"))->setPlainText(QStringLiteral("赵一\n张三\n李四\n王五"));
        child<QPlainTextEdit>(dialog, QStringLiteral("femaleNamesEdit"))->setPlainText(QStringLiteral("小兰\n小芳"));
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
    });
    const ClassModel &model = window->modelForTesting();
    QCOMPARE(model.fixedPositions, (QMap<PersonId, FixedPosition>{{4, {2, 1}}, {5, {4, 6}}}));
    QCOMPARE(model.nameOf(4), QStringLiteral("王五"));
    QCOMPARE(model.nameOf(5), QStringLiteral("小兰"));
    QCOMPARE(logLines(window.get()),
             QStringList({kReset, QStringLiteral("固定位置已按姓名对应到新名单: 1 个随学生改为新编号, 1 个因学生不在名单中已删除")}));
    QCOMPARE(fileValue(QStringLiteral("FixedPositions/List")).toStringList(),
             QStringList({QStringLiteral("4,2,1"), QStringLiteral("5,4,6")}));
}

void TestSettingsDialog::saveFailureIsReported()
{
    // Root ignores permissions, so block the file by putting a directory in its place.
    QVERIFY(QFile::remove(env->configPath()));
    QVERIFY(QDir().mkdir(env->configPath()));

    ModalDriver::Seen warning;
    withDialog([&](SettingsDialog *dialog) {
        child<QPlainTextEdit>(dialog, QStringLiteral("maleNamesEdit"))->setPlainText(QStringLiteral("甲\n乙"));
        ModalDriver box;
        box.answer(QMessageBox::Ok);
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
        warning = box.last();
    });
    QCOMPARE(warning.title, QStringLiteral("错误"));
    QCOMPARE(warning.icon, QMessageBox::Warning);
    QVERIFY2(warning.text.contains(QDir::toNativeSeparators(env->configPath())), qPrintable(warning.text));
    QCOMPARE(window->modelForTesting().maleNames, QStringList({QStringLiteral("甲"), QStringLiteral("乙")}));
    QCOMPARE(window->modelForTesting().nameToId.value(QStringLiteral("乙")), 2);
    QCOMPARE(logLines(window.get()).first(), kReset);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not write")));
    window.reset();
}

void TestSettingsDialog::saveWritesTheFileOnce()
{
#ifdef Q_OS_LINUX
    // Written in two steps, a program killed between them kept the new roster
    // beside the old pin numbers, which then named other students.
    const int writes = countWrites(env->dir(), QStringLiteral("config.ini"), [this] {
        withDialog([&](SettingsDialog *dialog) {
            child<QPlainTextEdit>(dialog, QStringLiteral("maleNamesEdit"))->setPlainText(QStringLiteral("赵一\n张三"));
            child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
        });
    });
    QCOMPARE(writes, 1);
    QCOMPARE(fileValue(QStringLiteral("Male/Names")).toStringList(), QStringList({QStringLiteral("赵一"), QStringLiteral("张三")}));
    QCOMPARE(fileValue(QStringLiteral("FixedPositions/List")).toStringList(),
             QStringList({QStringLiteral("4,4,6")}));
    QCOMPARE(QDir(env->dir()).entryList({QStringLiteral("config.ini*")}, QDir::Files), QStringList{"config.ini"});
#else
    QSKIP("counts writes with inotify");
#endif
}

void TestSettingsDialog::saveWithByteOrderMarkIsNoFailure()
{
    window.reset();
    env->writeConfig("\xEF\xBB\xBF" + kConfig + "[Update]\nLastCheck=2024-03-01\n");
    window = env->makeWindow();
    QCOMPARE(window->modelForTesting().maleNames.size(), 3);

    ModalDriver box;
    withDialog([&](SettingsDialog *dialog) {
        child<QPlainTextEdit>(dialog, QStringLiteral("maleNamesEdit"))->setPlainText(QStringLiteral("甲"));
        box.answer(QMessageBox::Ok);
        child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
    });
    QCOMPARE(box.count(), 0);
    QCOMPARE(fileValue(QStringLiteral("Male/Names")).toStringList(), QStringList{QStringLiteral("甲")});
}

void TestSettingsDialog::addRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("seat");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty name") << QStringLiteral("   ") << 1 << QStringLiteral("请输入姓名");
    QTest::newRow("not on the roster") << QStringLiteral(" 路人 ") << 1 << QStringLiteral("姓名 '路人' 不在名单中");
    QTest::newRow("seat out of range") << QStringLiteral("张三") << 7 << QStringLiteral("座位位置必须在1-6之间");
}

void TestSettingsDialog::addRefusals()
{
    QFETCH(QString, name);
    QFETCH(int, seat);
    QFETCH(QString, message);

    const QMap<PersonId, FixedPosition> before = window->modelForTesting().fixedPositions;
    ModalDriver::Seen seen;
    QWidget *owner = nullptr;
    withDialog([&](SettingsDialog *dialog) {
        // The field stops at 6; widen it to reach the check behind it.
        child<QSpinBox>(dialog, QStringLiteral("fixedSeatSpin"))->setMaximum(10);
        ModalDriver box;
        box.handle([&](QWidget *modal) {
            owner = modal->parentWidget();
            qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Ok)->click();
        });
        addPin(dialog, name, 3, seat);
        seen = box.last();
        QCOMPARE(owner, dialog);
    });
    QCOMPARE(seen.title, QStringLiteral("错误"));
    QCOMPARE(seen.text, message);
    QCOMPARE(window->modelForTesting().fixedPositions, before);
}

void TestSettingsDialog::addReplacesOnlyOnYes()
{
    ClassModel &model = window->modelForTesting();
    QStringList questions;
    withDialog([&](SettingsDialog *dialog) {
        ModalDriver no;
        no.answer(QMessageBox::No);
        addPin(dialog, QStringLiteral("王五"), 7, 3);
        questions << no.last().title + u'|' + no.last().text;
        QCOMPARE(model.fixedPositions.value(3), (FixedPosition{2, 1}));

        ModalDriver yes;
        yes.answer(QMessageBox::Yes);
        addPin(dialog, QStringLiteral("王五"), 7, 3);
        questions << yes.last().title + u'|' + yes.last().text;
    });
    QCOMPARE(questions, QStringList(2, QStringLiteral("确认|王五 已被固定到组2座位1，是否替换为组7座位3?")));
    QCOMPARE(model.fixedPositions.value(3), (FixedPosition{7, 3}));
}

void TestSettingsDialog::addRefusesTakenSeat()
{
    ClassModel &model = window->modelForTesting();
    QStringList seen;
    withDialog([&](SettingsDialog *dialog) {
        ModalDriver taken;
        taken.answer(QMessageBox::Ok);
        addPin(dialog, QStringLiteral("张三"), 4, 6);
        seen << taken.last().title + u'|' + taken.last().text;
        QVERIFY(!model.fixedPositions.contains(1));

        // The occupant itself may be pinned to its own place again.
        ModalDriver replace;
        replace.answer(QMessageBox::Yes);
        addPin(dialog, QStringLiteral("小兰"), 4, 6);
        seen << replace.last().title;
    });
    QCOMPARE(seen, QStringList({QStringLiteral("错误|组4座位6已被 小兰 占用"), QStringLiteral("确认")}));
    QCOMPARE(model.fixedPositions, (QMap<PersonId, FixedPosition>{{3, {2, 1}}, {5, {4, 6}}}));
}

void TestSettingsDialog::addResetsFieldsAndSurvivesCancel()
{
    QStringList rows;
    QString name;
    int group = 0;
    int seat = 0;
    withDialog([&](SettingsDialog *dialog) {
        addPin(dialog, QStringLiteral(" 张三 "), 5, 2);
        rows = tableRows(child<QTableWidget>(dialog, QStringLiteral("fixedPositionTable")));
        name = child<QLineEdit>(dialog, QStringLiteral("fixedNameEdit"))->text();
        group = child<QSpinBox>(dialog, QStringLiteral("fixedGroupSpin"))->value();
        seat = child<QSpinBox>(dialog, QStringLiteral("fixedSeatSpin"))->value();
        child<QPushButton>(dialog, QStringLiteral("cancelButton"))->click();
    });
    QCOMPARE(rows, QStringList({QStringLiteral("张三|5|2"), QStringLiteral("王五|2|1"), QStringLiteral("小兰|4|6")}));
    QVERIFY(name.isEmpty());
    QCOMPARE(group, 1);
    QCOMPARE(seat, 1);
    QCOMPARE(window->modelForTesting().fixedPositions.value(1), (FixedPosition{5, 2}));

    window.reset();
    QCOMPARE(fileValue(QStringLiteral("FixedPositions/List")).toStringList(),
             QStringList({QStringLiteral("1,5,2"), QStringLiteral("3,2,1"), QStringLiteral("5,4,6")}));
}

void TestSettingsDialog::deleteSelectedRows()
{
    ClassModel &model = window->modelForTesting();
    model.fixedPositions.insert(9, FixedPosition{1, 2});
    model.fixedPositions.insert(1, FixedPosition{1, 1});
    ModalDriver::Seen nothingSelected;
    QStringList rows;
    withDialog([&](SettingsDialog *dialog) {
        auto *table = child<QTableWidget>(dialog, QStringLiteral("fixedPositionTable"));
        ModalDriver hint;
        hint.answer(QMessageBox::Ok);
        child<QPushButton>(dialog, QStringLiteral("removeFixedButton"))->click();
        nothingSelected = hint.last();

        // Rows: 张三 (1), 王五 (3), 小兰 (5), nameless (9). A click toggles one row.
        for (int row : {1, 2, 3}) {
            const QRect cell = table->visualRect(table->model()->index(row, 1));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        }
        child<QPushButton>(dialog, QStringLiteral("removeFixedButton"))->click();
        rows = tableRows(table);
    });
    QCOMPARE(nothingSelected.title, QStringLiteral("提示"));
    QCOMPARE(nothingSelected.text, QStringLiteral("请先选择要删除的固定位置"));
    QCOMPARE(rows, QStringList({QStringLiteral("张三|1|1"), QStringLiteral("|1|2")}));
    QCOMPARE(model.fixedPositions, (QMap<PersonId, FixedPosition>{{1, {1, 1}}, {9, {1, 2}}}));
}

void TestSettingsDialog::clearAsksFirst()
{
    ClassModel &model = window->modelForTesting();
    QStringList afterNo;
    QStringList afterYes;
    QString question;
    withDialog([&](SettingsDialog *dialog) {
        auto *table = child<QTableWidget>(dialog, QStringLiteral("fixedPositionTable"));
        ModalDriver no;
        no.answer(QMessageBox::No);
        child<QPushButton>(dialog, QStringLiteral("clearFixedButton"))->click();
        question = no.last().title + u'|' + no.last().text;
        afterNo = tableRows(table);

        ModalDriver yes;
        yes.answer(QMessageBox::Yes);
        child<QPushButton>(dialog, QStringLiteral("clearFixedButton"))->click();
        afterYes = tableRows(table);
    });
    QCOMPARE(question, QStringLiteral("确认|确定要清空所有固定位置吗?"));
    QCOMPARE(afterNo, QStringList({QStringLiteral("王五|2|1"), QStringLiteral("小兰|4|6")}));
    QVERIFY(afterYes.isEmpty());
    QVERIFY(model.fixedPositions.isEmpty());
}

QTEST_MAIN(TestSettingsDialog)
#include "test_settingsdialog.moc"
