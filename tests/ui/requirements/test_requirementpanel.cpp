// The requirement panel, the requirement check and the personnel report,
// driven through the real window and its message boxes.
#include "ui/window/mainwindow.h"
#include "common/modaldriver.h"
#include "common/testenvironment.h"
#include "core/platform/clock.h"
#include "core/storage/configstore.h"

#include <QComboBox>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>

namespace {

const QDateTime kNow(QDate(2024, 3, 1), QTime(9, 5, 3));

// Boys 1-3, girls 4-6; one boy's name looks like markup.
const QByteArray kRoster = "[Male]\nNames=张三,李四,<b>王五</b>\n"
                           "[Female]\nNames=小红,小兰,小芳\n"
                           "[Leaders]\nNames=张三,小红\n"
                           "[Boarders]\nNames=小红,李四\n";

} // namespace

class TestRequirementPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Adding
    void addValidRequirement();
    void addRefusals_data();
    void addRefusals();
    void addSameNameTwice();

    // Removing
    void removeInterleavedKinds();
    void removeThreeRowsLogsOnce();
    void removeWithoutSelection();
    void unknownNumbersFromFileShowEmptyNames();

    // Check
    void checkRefusesWithoutGrouping();
    void checkWritesLinesInOrderTwice();
    void checkShowsNamesVerbatim();

    // Report
    void reportRefusesWithoutGrouping();
    void reportShowsCounts();

private:
    void add(const QString &kind, const QString &names);
    QTableWidget *table() const { return window->findChild<QTableWidget *>(QStringLiteral("constraintTable")); }
    QLineEdit *nameEdit() const { return window->findChild<QLineEdit *>(QStringLiteral("constraintNameEdit")); }
    void click(const char *name) { window->findChild<QPushButton *>(QLatin1String(name))->click(); }
    void selectRows(const QList<int> &rows);

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MainWindow> window;
};

void TestRequirementPanel::init()
{
    setClockForTesting([] { return kNow; });
    env = std::make_unique<TestEnvironment>();
    env->writeConfig(kRoster);
    ConfigStore::writeLastUpdateCheck(env->configPath(), kNow.date());
    window = env->makeWindow();
}

void TestRequirementPanel::cleanup()
{
    window.reset();
    env.reset();
    setClockForTesting({});
}

void TestRequirementPanel::add(const QString &kind, const QString &names)
{
    window->findChild<QComboBox *>(QStringLiteral("constraintTypeCombo"))->setCurrentText(kind);
    nameEdit()->clear();
    for (QChar ch : names)
        QTest::sendKeyEvent(QTest::Click, nameEdit(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    click("addConstraintButton");
}

void TestRequirementPanel::selectRows(const QList<int> &rows)
{
    table()->clearSelection();
    for (int row : rows)
        table()->selectionModel()->select(table()->model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TestRequirementPanel::addValidRequirement()
{
    add(QStringLiteral("必须同组"), QStringLiteral("  张三   小红 "));
    ClassModel &model = window->modelForTesting();
    QCOMPARE(model.mustTogether, QList<Constraint>({{1, 4}}));
    QVERIFY(model.mustSeparate.isEmpty());
    QCOMPARE(tableRows(table()), QStringList{QStringLiteral("必须同组|张三, 小红|待验证")});
    QVERIFY(nameEdit()->text().isEmpty());
    QCOMPARE(logLines(window.get()).last(), QStringLiteral("09:05:03 - 要求添加成功"));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("statusLabel"))->text(),
             QStringLiteral("09:05:03 - 要求添加成功"));
}

void TestRequirementPanel::addRefusals_data()
{
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("message");

    QTest::newRow("only spaces") << QStringLiteral("    ") << QStringLiteral("请输入至少一个姓名");
    QTest::newRow("single name") << QStringLiteral("张三") << QStringLiteral("要求需要至少两个有效姓名");
    QTest::newRow("comma") << QStringLiteral("张三,小红") << QStringLiteral("姓名不能包含逗号或分号");
    QTest::newRow("semicolon") << QStringLiteral("张三;小红") << QStringLiteral("姓名不能包含逗号或分号");
    QTest::newRow("full-width comma") << QStringLiteral("张三，小红 李四")
                                      << QStringLiteral("以下姓名无效: 张三，小红");
    QTest::newRow("unknown among valid") << QStringLiteral("张三 路人 小红 某某")
                                         << QStringLiteral("以下姓名无效: 路人, 某某");
}

void TestRequirementPanel::addRefusals()
{
    QFETCH(QString, names);
    QFETCH(QString, message);

    const QStringList logBefore = logLines(window.get());
    ModalDriver driver;
    driver.answer(QMessageBox::Ok);
    add(QStringLiteral("不能同组"), names);
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().title, QStringLiteral("输入错误"));
    QCOMPARE(driver.last().text, message);
    QCOMPARE(driver.last().icon, QMessageBox::Warning);
    QVERIFY(window->modelForTesting().mustSeparate.isEmpty());
    QCOMPARE(table()->rowCount(), 0);
    QCOMPARE(nameEdit()->text(), names);
    QCOMPARE(logLines(window.get()), logBefore);
}

void TestRequirementPanel::addSameNameTwice()
{
    add(QStringLiteral("不能同组"), QStringLiteral("李四 李四"));
    QCOMPARE(window->modelForTesting().mustSeparate, QList<Constraint>({{2, 2}}));
    QCOMPARE(tableRows(table()), QStringList{QStringLiteral("不能同组|李四, 李四|待验证")});
}

void TestRequirementPanel::removeInterleavedKinds()
{
    ClassModel &model = window->modelForTesting();
    add(QStringLiteral("不能同组"), QStringLiteral("张三 李四"));
    add(QStringLiteral("必须同组"), QStringLiteral("小红 小兰"));
    add(QStringLiteral("不能同组"), QStringLiteral("小红 小芳"));
    add(QStringLiteral("必须同组"), QStringLiteral("张三 小芳"));
    QCOMPARE(model.mustSeparate, QList<Constraint>({{1, 2}, {4, 6}}));
    QCOMPARE(model.mustTogether, QList<Constraint>({{4, 5}, {1, 6}}));

    // Row 3 is the second must-together entry, row 2 the second must-separate.
    selectRows({3});
    click("removeConstraintButton");
    QCOMPARE(model.mustTogether, QList<Constraint>({{4, 5}}));
    QCOMPARE(model.mustSeparate, QList<Constraint>({{1, 2}, {4, 6}}));

    selectRows({1});
    click("removeConstraintButton");
    QCOMPARE(model.mustTogether, QList<Constraint>{});
    QCOMPARE(model.mustSeparate, QList<Constraint>({{1, 2}, {4, 6}}));

    selectRows({0});
    click("removeConstraintButton");
    QCOMPARE(model.mustSeparate, QList<Constraint>({{4, 6}}));
    QCOMPARE(tableRows(table()), QStringList{QStringLiteral("不能同组|小红, 小芳|待验证")});
}

void TestRequirementPanel::removeThreeRowsLogsOnce()
{
    ClassModel &model = window->modelForTesting();
    add(QStringLiteral("必须同组"), QStringLiteral("张三 李四"));
    add(QStringLiteral("不能同组"), QStringLiteral("张三 小红"));
    add(QStringLiteral("必须同组"), QStringLiteral("小红 小兰"));
    add(QStringLiteral("不能同组"), QStringLiteral("李四 小芳"));
    add(QStringLiteral("必须同组"), QStringLiteral("小兰 小芳"));

    selectRows({0, 3, 4});
    click("removeConstraintButton");
    QCOMPARE(model.mustTogether, QList<Constraint>({{4, 5}}));
    QCOMPARE(model.mustSeparate, QList<Constraint>({{1, 4}}));
    QCOMPARE(tableRows(table()),
             QStringList({QStringLiteral("不能同组|张三, 小红|待验证"), QStringLiteral("必须同组|小红, 小兰|待验证")}));
    QCOMPARE(logLines(window.get()).filter(QStringLiteral("要求已移除")).size(), 1);
}

void TestRequirementPanel::removeWithoutSelection()
{
    add(QStringLiteral("必须同组"), QStringLiteral("张三 李四"));
    table()->clearSelection();
    const QStringList logBefore = logLines(window.get());
    ModalDriver driver;
    driver.answer(QMessageBox::Ok);
    click("removeConstraintButton");
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().title, QStringLiteral("提示"));
    QCOMPARE(driver.last().text, QStringLiteral("请先选择要移除的要求"));
    QCOMPARE(driver.last().icon, QMessageBox::Information);
    QCOMPARE(window->modelForTesting().mustTogether.size(), 1);
    QCOMPARE(table()->rowCount(), 1);
    QCOMPARE(logLines(window.get()), logBefore);
}

void TestRequirementPanel::unknownNumbersFromFileShowEmptyNames()
{
    window.reset();
    env->writeConfig(kRoster + "[Constraints]\nMustTogether=\"1,99\", \"0\"\nMustSeparate=\"5,,-3\"\n");
    ConfigStore::writeLastUpdateCheck(env->configPath(), kNow.date());
    window = env->makeWindow();
    QCOMPARE(tableRows(table()), QStringList({QStringLiteral("必须同组|张三, |待验证"), QStringLiteral("必须同组||待验证"),
                                              QStringLiteral("不能同组|小兰, , |待验证")}));

    window->modelForTesting().generatedGroups = {{1, 2}, {4, 5}};
    click("checkConstraintsButton");
    // Numbers that match nobody are ignored: each requirement keeps fewer than
    // two students and is met.
    QVERIFY(logLines(window.get()).contains(QStringLiteral("所有要求已满足")));

    selectRows({1});
    click("removeConstraintButton");
    QCOMPARE(window->modelForTesting().mustTogether, QList<Constraint>({{1, 99}}));
}

void TestRequirementPanel::checkRefusesWithoutGrouping()
{
    add(QStringLiteral("必须同组"), QStringLiteral("张三 李四"));
    const QStringList logBefore = logLines(window.get());
    ModalDriver driver;
    driver.answer(QMessageBox::Ok);
    click("checkConstraintsButton");
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().title, QStringLiteral("错误"));
    QCOMPARE(driver.last().text, QStringLiteral("请先生成分组结果"));
    QCOMPARE(driver.last().icon, QMessageBox::Warning);
    QCOMPARE(logLines(window.get()), logBefore);
}

void TestRequirementPanel::checkWritesLinesInOrderTwice()
{
    ClassModel &model = window->modelForTesting();
    add(QStringLiteral("必须同组"), QStringLiteral("张三 小红"));
    add(QStringLiteral("必须同组"), QStringLiteral("李四 小兰 小芳"));
    add(QStringLiteral("不能同组"), QStringLiteral("张三 李四 小芳"));
    model.generatedGroups = {{1, 4, 2, 5}, {6, 3}};
    const QStringList before = logLines(window.get());

    click("checkConstraintsButton");
    const QStringList once = {QStringLiteral("开始检查要求..."),
                              QStringLiteral("必须同组要求未满足: 李四 小兰 小芳 "),
                              QStringLiteral("不同要求组在同一组: 要求组1 和 要求组2 都在组 1"),
                              QStringLiteral("不能同组要求未满足: 张三 李四 小芳 "),
                              QStringLiteral("部分要求未满足"),
                              QStringLiteral("09:05:03 - 要求检查完成")};
    QCOMPARE(logLines(window.get()), before + once);

    click("checkConstraintsButton");
    QCOMPARE(logLines(window.get()), before + once + once);
    QCOMPARE(model.generatedGroups, Grouping({{1, 4, 2, 5}, {6, 3}}));
    QCOMPARE(table()->item(0, 2)->text(), QStringLiteral("待验证"));
}

void TestRequirementPanel::checkShowsNamesVerbatim()
{
    add(QStringLiteral("必须同组"), QStringLiteral("<b>王五</b> 小芳"));
    window->modelForTesting().generatedGroups = {{3}, {6}};
    click("checkConstraintsButton");
    QVERIFY(logLines(window.get()).contains(QStringLiteral("必须同组要求未满足: <b>王五</b> 小芳 ")));
    QCOMPARE(table()->item(0, 1)->text(), QStringLiteral("<b>王五</b>, 小芳"));
}

void TestRequirementPanel::reportRefusesWithoutGrouping()
{
    const QStringList logBefore = logLines(window.get());
    ModalDriver driver;
    driver.answer(QMessageBox::Ok);
    click("checkPersonnelButton");
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().title, QStringLiteral("错误"));
    QCOMPARE(driver.last().text, QStringLiteral("请先生成分组结果"));
    QCOMPARE(logLines(window.get()), logBefore);
}

void TestRequirementPanel::reportShowsCounts()
{
    // Group 1: two boys and three girls; 小红 leads and boards, 李四 boards.
    window->modelForTesting().generatedGroups = {{1, 2, 4, 5, 6}, {3}};
    const QStringList logBefore = logLines(window.get());

    QString shown;
    QSize size;
    ModalDriver driver;
    driver.handle([&](QWidget *modal) {
        size = modal->size();
        shown = modal->findChild<QTextBrowser *>(QStringLiteral("personnelReportView"))->toPlainText();
        auto *close = modal->findChild<QPushButton *>(QStringLiteral("closeButton"));
        QCOMPARE(close->text(), QStringLiteral("关闭"));
        close->click();
    });
    click("checkPersonnelButton");
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().title, QStringLiteral("人员检查报告"));
    QCOMPARE(size, QSize(350, 400));
    QVERIFY2(shown.contains(QStringLiteral("1\n5\n2\n3\n2\n2")), qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("2\n1\n1\n0\n0\n0")), qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("总计\n6\n3\n3\n2\n2")), qPrintable(shown));
    QVERIFY(shown.contains(QStringLiteral("总人数: 6 (男生: 3, 女生: 3)")));
    QVERIFY(shown.contains(QStringLiteral("组长: 2, 外宿生: 2")));
    QVERIFY(window->findChildren<QDialog *>().isEmpty());
    QCOMPARE(logLines(window.get()), logBefore);
}

QTEST_MAIN(TestRequirementPanel)
#include "test_requirementpanel.moc"
