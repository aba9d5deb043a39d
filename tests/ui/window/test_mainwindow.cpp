#include "ui/window/mainwindow.h"
#include "core/platform/translation.h"
#include "common/modaldriver.h"
#include "common/testenvironment.h"
#include "core/platform/clock.h"
#include "core/storage/configstore.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // What a user sees
    void windowLayout();
    void tablesAndPanel();
    void menuBar();
    void firstStartLog();
    void styleNameShownVerbatim();
    void demoClassLoads();
    void gb18030ConfigKeepsItsNames_data();
    void gb18030ConfigKeepsItsNames();

    // Commands
    void resetTwiceLeavesOneLine();
    void resetKeepsRosterAndPins();
    void clearFixedPositionsAnsweredNo();
    void clearFixedPositionsAnsweredYes();
    void addFixedPositionPointsToSettings();
    void standardButtonsSpeakChinese();
    void manualCheckOffersReleasesPage();

    // Shutdown
    void closingWritesGroupRecords();
    void exitActionClosesLikeTheCloseButton();
    void resetRequirementsStayGoneAfterRestart();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

namespace {
const QDateTime kNow(QDate(2026, 5, 20), QTime(9, 5, 3));

template <typename T>
T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no child %s", name);
    return found;
}
} // namespace

void TestMainWindow::init()
{
    setClockForTesting([] { return kNow; });
    m_env = std::make_unique<TestEnvironment>();
}

void TestMainWindow::cleanup()
{
    m_env.reset();
    setClockForTesting({});
}

void TestMainWindow::windowLayout()
{
    auto window = m_env->makeWindow();
    QCOMPARE(window->windowTitle(), QString("Quorvane"));
    QCOMPARE(window->minimumSize(), QSize(1004, 753));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->resize(300, 200);
    QVERIFY(window->width() >= 1004 && window->height() >= 753);

    // Results and log share the top row 2 : 1.
    auto *results = child<QTableWidget>(window.get(), "resultTable");
    auto *log = child<QTextEdit>(window.get(), "logView");
    window->resize(1500, 800);
    QTRY_VERIFY(results->width() > log->width());
    const auto *resultsBox = qobject_cast<QGroupBox *>(results->parentWidget());
    const auto *logBox = qobject_cast<QGroupBox *>(log->parentWidget());
    QCOMPARE(resultsBox->title(), QString("分组结果"));
    QCOMPARE(logBox->title(), QString("系统日志"));
    QVERIFY(qAbs(resultsBox->width() - 2 * logBox->width()) < 40);

    const QStringList buttons{"generateButton", "checkPersonnelButton", "checkConstraintsButton", "resetButton"};
    const QStringList captions{"生成分组", "人员检查", "要求检查", "重置"};
    int previousX = -1;
    for (int i = 0; i < buttons.size(); ++i) {
        auto *button = child<QPushButton>(window.get(), qPrintable(buttons.at(i)));
        QCOMPARE(button->text(), captions.at(i));
        QVERIFY(button->x() > previousX);
        previousX = button->x();
    }
    QCOMPARE(child<QLabel>(window.get(), "statusLabel")->text(), QString("就绪"));
}

void TestMainWindow::tablesAndPanel()
{
    auto window = m_env->makeWindow();
    auto *results = child<QTableWidget>(window.get(), "resultTable");
    QCOMPARE(results->columnCount(), 7);
    QCOMPARE(results->rowCount(), 0);
    QCOMPARE(results->horizontalHeaderItem(0)->text(), QString("组号"));
    QCOMPARE(results->horizontalHeaderItem(6)->text(), QString("成员6"));
    QVERIFY(!results->verticalHeader()->isVisible() || results->verticalHeader()->isHidden());
    QCOMPARE(results->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(results->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(results->horizontalHeader()->sectionResizeMode(3), QHeaderView::Stretch);

    auto *combo = child<QComboBox>(window.get(), "constraintTypeCombo");
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), QString("必须同组"));
    QCOMPARE(combo->itemText(1), QString("不能同组"));
    QVERIFY(!combo->itemData(0).isValid());
    QVERIFY(child<QLineEdit>(window.get(), "constraintNameEdit")->placeholderText().isEmpty());

    auto *constraints = child<QTableWidget>(window.get(), "constraintTable");
    QCOMPARE(constraints->columnCount(), 3);
    QCOMPARE(constraints->horizontalHeaderItem(1)->text(), QString("人员列表"));
    QCOMPARE(constraints->horizontalHeader()->sectionResizeMode(0), QHeaderView::ResizeToContents);
    QCOMPARE(constraints->horizontalHeader()->sectionResizeMode(1), QHeaderView::Stretch);
    QCOMPARE(constraints->horizontalHeader()->sectionResizeMode(2), QHeaderView::ResizeToContents);
    QCOMPARE(child<QPushButton>(window.get(), "addConstraintButton")->text(), QString("添加要求"));
    QCOMPARE(child<QPushButton>(window.get(), "removeConstraintButton")->text(), QString("移除选中"));
}

void TestMainWindow::menuBar()
{
    auto window = m_env->makeWindow();
    const QList<QAction *> top = window->menuBar()->actions();
    QCOMPARE(top.size(), 3);
    QCOMPARE(top.at(0)->text(), QString("文件"));
    QCOMPARE(top.at(1)->text(), QString("设置"));
    QVERIFY(!top.at(1)->menu());
    QCOMPARE(top.at(2)->text(), QString("帮助"));

    QStringList fileItems;
    for (QAction *action : top.at(0)->menu()->actions())
        fileItems << (action->isSeparator() ? QString("-") : action->text());
    QCOMPARE(fileItems, QStringList({"新建座位表", "保存", "另存为", "打印...", "导出PDF...", "历史分组...", "导入班级...",
                                     "导出班级...", "-", "退出"}));
    QStringList helpItems;
    for (QAction *action : top.at(2)->menu()->actions())
        helpItems << (action->isSeparator() ? QString("-") : action->text());
    QCOMPARE(helpItems, QStringList({"检查更新", "-", "关于"}));
    for (QAction *action : top.at(0)->menu()->actions())
        QVERIFY(action->shortcut().isEmpty());
}

void TestMainWindow::firstStartLog()
{
    QVERIFY(!QFile::exists(m_env->configPath()));
    auto window = m_env->makeWindow();
    QCOMPARE(logLines(window.get()),
             QStringList({"加载了 0 名男生和 0 名女生", "加载了 0 名组长和 0 名外宿生", "当前样式: 样式1", "系统初始化完成"}));
    // The schedule stored today's date before any check could answer.
    QCOMPARE(ConfigStore::readLastUpdateCheck(m_env->configPath()), kNow.date());
    QCOMPARE(child<QLabel>(window.get(), "statusLabel")->text(), QString("就绪"));
}

void TestMainWindow::styleNameShownVerbatim()
{
    m_env->writeConfig("[Style]\nCurrent=<b>A&B</b>\n[Male]\nNames=<i>x</i>\n");
    auto window = m_env->makeWindow();
    QCOMPARE(logLines(window.get()).at(2), QString("当前样式: <b>A&B</b>"));
    QCOMPARE(window->modelForTesting().maleNames, QStringList({"<i>x</i>"}));
}

void TestMainWindow::demoClassLoads()
{
    m_env->writeConfig(demoConfigText());
    auto window = m_env->makeWindow();
    const ClassModel &model = window->modelForTesting();
    QCOMPARE(model.personCount(), 54);
    QCOMPARE(model.enabledGroupIndexes().size(), 9);
    QCOMPARE(model.mustTogether.size(), 2);
    QCOMPARE(model.mustSeparate.size(), 2);
    QCOMPARE(model.fixedPositions.size(), 3);
    for (const QString &name : model.leaderNames + model.boarderNames)
        QVERIFY2(model.nameToId.contains(name), qPrintable(name));
    for (const Constraint &constraint : model.mustTogether + model.mustSeparate) {
        for (PersonId id : constraint)
            QVERIFY(model.isOnRoster(id));
    }
    QCOMPARE(child<QTableWidget>(window.get(), "constraintTable")->rowCount(), 4);
    QCOMPARE(logLines(window.get()).at(0), QString("加载了 24 名男生和 30 名女生"));
}

void TestMainWindow::gb18030ConfigKeepsItsNames_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QStringList>("boys");
    QTest::addColumn<QString>("backupName");
    QTest::addColumn<QString>("firstLine");
    const QString text = QStringLiteral("[Male]\nNames=张三, 李四\n");
    QStringEncoder gb18030("GB18030");
    QTest::newRow("GB18030") << QByteArray(gb18030.encode(text)) << QStringList({"张三", "李四"})
                             << QStringLiteral("config.ini.gb18030-20260520_090503.bak")
                             << QStringLiteral("配置文件 %1 是 GB18030 编码，已转换为 UTF-8，原文件备份为 %2");
    QTest::newRow("neither") << QByteArray("[Male]\nNames=\xFF, b\n") << QStringList()
                             << QStringLiteral("config.ini.undecodable-20260520_090503.bak")
                             << QStringLiteral("警告: 配置文件 %1 不是 UTF-8，也无法识别其编码，姓名可能无法正确读取，原文件备份为 %2");
}

void TestMainWindow::gb18030ConfigKeepsItsNames()
{
    QFETCH(QByteArray, original);
    QFETCH(QStringList, boys);
    QFETCH(QString, backupName);
    QFETCH(QString, firstLine);
    // No stored check date: the start-up schedule writes the file at once.
    m_env->writeConfig(original);
    auto window = m_env->makeWindow();
    const QString backup = m_env->dir() + u'/' + backupName;
    QFile copy(backup);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), original);
    QCOMPARE(logLines(window.get()).first(), firstLine.arg(QDir::toNativeSeparators(m_env->configPath()),
                                                           QDir::toNativeSeparators(backup)));
    QCOMPARE(ConfigStore::readLastUpdateCheck(m_env->configPath()), kNow.date());
    if (!boys.isEmpty()) {
        QCOMPARE(window->modelForTesting().maleNames, boys);
        ClassModel reread;
        QString style;
        ConfigStore::readRoster(m_env->configPath(), reread, style);
        QCOMPARE(reread.maleNames, boys);
    }
}

void TestMainWindow::resetTwiceLeavesOneLine()
{
    auto window = m_env->makeWindow();
    QMetaObject::invokeMethod(window.get(), "resetAll");
    QMetaObject::invokeMethod(window.get(), "resetAll");
    QCOMPARE(logLines(window.get()), QStringList({"09:05:03 - 系统已重置"}));
    QCOMPARE(child<QLabel>(window.get(), "statusLabel")->text(), QString("09:05:03 - 系统已重置"));
}

void TestMainWindow::resetKeepsRosterAndPins()
{
    m_env->writeConfig("[Male]\nNames=甲, 乙\n[FixedPositions]\nList=\"1,2,3\"\n"
                       "[Constraints]\nMustTogether=\"1,2\"\nMustSeparate=\"1,2\"\n");
    auto window = m_env->makeWindow();
    ClassModel &model = window->modelForTesting();
    model.generatedGroups = {{1, 2}};
    child<QComboBox>(window.get(), "constraintTypeCombo")->setCurrentIndex(1);
    child<QLineEdit>(window.get(), "constraintNameEdit")->setText("甲 乙");
    QCOMPARE(child<QTableWidget>(window.get(), "constraintTable")->rowCount(), 2);

    child<QPushButton>(window.get(), "resetButton")->click();
    QVERIFY(model.generatedGroups.isEmpty());
    QVERIFY(model.mustTogether.isEmpty());
    QVERIFY(model.mustSeparate.isEmpty());
    QCOMPARE(child<QTableWidget>(window.get(), "constraintTable")->rowCount(), 0);
    QCOMPARE(model.maleNames.size(), 2);
    QCOMPARE(model.fixedPositions.size(), 1);
    QCOMPARE(child<QComboBox>(window.get(), "constraintTypeCombo")->currentIndex(), 1);
    QCOMPARE(child<QLineEdit>(window.get(), "constraintNameEdit")->text(), QString("甲 乙"));
}

void TestMainWindow::clearFixedPositionsAnsweredNo()
{
    m_env->writeConfig("[FixedPositions]\nList=\"1,2,3\", \"2,1,1\"\n");
    auto window = m_env->makeWindow();
    const QStringList before = logLines(window.get());
    ModalDriver driver;
    driver.answer(QMessageBox::No);
    QMetaObject::invokeMethod(window.get(), "clearFixedPositions");
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().title, QString("确认"));
    QCOMPARE(driver.last().text, QString("确定要清空所有固定位置吗?"));
    QCOMPARE(driver.last().icon, QMessageBox::Question);
    QCOMPARE(window->modelForTesting().fixedPositions.size(), 2);
    QCOMPARE(logLines(window.get()), before);
}

void TestMainWindow::clearFixedPositionsAnsweredYes()
{
    m_env->writeConfig("[FixedPositions]\nList=\"1,2,3\", \"2,1,1\"\n");
    auto window = m_env->makeWindow();
    ModalDriver driver;
    driver.answer(QMessageBox::Yes);
    QMetaObject::invokeMethod(window.get(), "clearFixedPositions");
    QVERIFY(window->modelForTesting().fixedPositions.isEmpty());
    QCOMPARE(logLines(window.get()).last(), QString("09:05:03 - 已清空所有固定位置"));
    window.reset();
    const QSettings saved(m_env->configPath(), QSettings::IniFormat);
    QVERIFY(saved.value("FixedPositions/List").toStringList().isEmpty());
}

void TestMainWindow::addFixedPositionPointsToSettings()
{
    auto window = m_env->makeWindow();
    ModalDriver driver;
    driver.answer(QMessageBox::Ok);
    QMetaObject::invokeMethod(window.get(), "addFixedPosition");
    QCOMPARE(driver.last().title, QString("提示"));
    QCOMPARE(driver.last().text, QString("固定位置功能已整合到设置对话框中"));
    QCOMPARE(driver.last().icon, QMessageBox::Information);
}

void TestMainWindow::standardButtonsSpeakChinese()
{
    QVERIFY(installQtChineseTranslation(qApp));
    QMessageBox box(QMessageBox::Question, "确认", "?", QMessageBox::Yes | QMessageBox::No);
    QVERIFY(box.button(QMessageBox::Yes)->text().contains(QString("是")));
    QVERIFY(box.button(QMessageBox::No)->text().contains(QString("否")));
}

// Catches the browser instead of launching it.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

void TestMainWindow::manualCheckOffersReleasesPage()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    auto window = m_env->makeWindow();
    {
        ModalDriver driver;
        driver.answer(QMessageBox::No);
        QVERIFY(QMetaObject::invokeMethod(window.get(), "manualUpdateCheck"));
        QCOMPARE(driver.last().title, QString("检查更新"));
        QCOMPARE(driver.last().text, QString("当前版本: 251008.1730\n\n自动检查更新失败，是否要手动打开项目页面检查？"));
        QCOMPARE(logLines(window.get()).last(), QString("09:05:03 - 取消检查更新"));
        QVERIFY(catcher.opened.isEmpty());
    }
    ModalDriver driver;
    driver.answer(QMessageBox::Yes);
    QVERIFY(QMetaObject::invokeMethod(window.get(), "manualUpdateCheck"));
    QCOMPARE(catcher.opened.size(), 1);
    QCOMPARE(catcher.opened.first().scheme(), QString("https"));
    QVERIFY(catcher.opened.first().path().endsWith("/releases"));
    QCOMPARE(logLines(window.get()).last(), QString("09:05:03 - 已打开更新页面"));
    QDesktopServices::unsetUrlHandler("https");
}

void TestMainWindow::closingWritesGroupRecords()
{
    m_env->writeConfig("[Male]\nNames=甲\n[GroupConfig_3]\ntotal=-5\n[FixedPositions]\nList=\"9,2,3\", \"4,1,1\"\n");
    m_env->makeWindow().reset();
    const QSettings saved(m_env->configPath(), QSettings::IniFormat);
    for (int i = 0; i < 10; ++i)
        QVERIFY(saved.contains(QString("GroupConfig_%1/enabled").arg(i)));
    QCOMPARE(saved.value("GroupConfig_3/total").toInt(), 0);
    QCOMPARE(saved.value("GroupConfig_9/enabled").toBool(), false);
    QCOMPARE(saved.value("FixedPositions/List").toStringList(), QStringList({"4,1,1", "9,2,3"}));
    QVERIFY(saved.contains("Constraints/MustTogether"));
    QCOMPARE(saved.value("Male/Names").toStringList(), QStringList({"甲"}));
}

void TestMainWindow::exitActionClosesLikeTheCloseButton()
{
    auto window = m_env->makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->findChild<QAction *>("exitAction")->trigger();
    QVERIFY(!window->isVisible());
}

void TestMainWindow::resetRequirementsStayGoneAfterRestart()
{
    m_env->writeConfig("[Male]\nNames=甲, 乙\n[Constraints]\nMustTogether=\"1,2\"\n");
    {
        auto window = m_env->makeWindow();
        QMetaObject::invokeMethod(window.get(), "resetAll");
    }
    auto restarted = m_env->makeWindow();
    QVERIFY(restarted->modelForTesting().mustTogether.isEmpty());
    QCOMPARE(child<QTableWidget>(restarted.get(), "constraintTable")->rowCount(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
