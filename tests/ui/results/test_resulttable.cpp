// The "生成分组" command in the real window: busy dialog, results table,
// group details and the boxes it may show.
#include "ui/window/mainwindow.h"
#include "common/modaldriver.h"
#include "common/stressclass.h"
#include "common/testenvironment.h"
#include "core/platform/clock.h"
#include "core/engine/generation.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace {

std::function<quint32()> countingSeeds(quint32 first)
{
    auto next = std::make_shared<quint32>(first);
    return [next] { return (*next)++; };
}

// The busy dialog is modal too; pass over it and act on the next modal widget.
void actAfterBusyDialog(ModalDriver &driver, std::function<void(QWidget *)> act)
{
    driver.handle([&driver, act](QWidget *modal) {
        if (qobject_cast<QProgressDialog *>(modal)) {
            actAfterBusyDialog(driver, act);
            return;
        }
        act(modal);
    });
}

void pressOk(QWidget *modal)
{
    auto *box = qobject_cast<QMessageBox *>(modal);
    QVERIFY(box);
    box->button(QMessageBox::Ok)->click();
}

// Calls `seen` whenever an event of one type reaches the target.
class EventRecorder : public QObject
{
public:
    EventRecorder(QObject *target, QEvent::Type type, std::function<void()> seen)
        : m_type(type)
        , m_seen(std::move(seen))
    {
        target->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            m_seen();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_seen;
};

QList<int> sectionWidths(QHeaderView *header)
{
    header->length(); // lays out what is pending
    QList<int> widths;
    for (int column = 0; column < header->count(); ++column)
        widths.append(header->sectionSize(column));
    return widths;
}

QStringList headers(QTableWidget *table)
{
    QStringList labels;
    for (int c = 0; c < table->columnCount(); ++c)
        labels.append(table->horizontalHeaderItem(c)->text());
    return labels;
}

} // namespace

class TestResultTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Generating
    void generate_fillsTheTableWithColoursAndFonts();
    void generate_againGivesANewArrangement();
    void generate_logShowsTheKeptTryOnly_data();
    void generate_logShowsTheKeptTryOnly();
    void generate_noEnabledGroupShowsTheBox();
    void generate_impossibleSettingsAreCountedInTheStatusBar();
    void generate_engineFailureShowsACriticalBox_data();
    void generate_engineFailureShowsACriticalBox();
    // Table shape
    void tableShape_data();
    void tableShape();
    void resultTablePaintedTwicePerGeneration_data();
    void resultTablePaintedTwicePerGeneration();
    void columnsShareTheWidthAsIfFittedFirst_data();
    void columnsShareTheWidthAsIfFittedFirst();
    // Details
    void details_answerTheFirstAndTheTenthRow();
    void details_escapeNamesAndWarnAboutUnmetRequirements();

private:
    MainWindow *makeWindow(const std::function<void(ClassModel &)> &edit = {});
    void generate();
    QTableWidget *table() const { return window->findChild<QTableWidget *>(QStringLiteral("resultTable")); }

    std::unique_ptr<TestEnvironment> environment;
    std::unique_ptr<MainWindow> window;
};

void TestResultTable::init()
{
    setClockForTesting([] { return QDateTime(QDate(2025, 3, 14), QTime(9, 5, 3)); });
    environment = std::make_unique<TestEnvironment>();
    environment->writeConfig(demoConfigText());
}

void TestResultTable::cleanup()
{
    window.reset();
    environment.reset();
    setClockForTesting({});
}

MainWindow *TestResultTable::makeWindow(const std::function<void(ClassModel &)> &edit)
{
    window = environment->makeWindow();
    window->setSeedSourceForTesting(countingSeeds(31));
    if (edit)
        edit(window->modelForTesting());
    return window.get();
}

void TestResultTable::generate()
{
    window->findChild<QPushButton *>(QStringLiteral("generateButton"))->click();
}

void TestResultTable::generate_fillsTheTableWithColoursAndFonts()
{
    makeWindow();
    generate();
    const ClassModel &model = window->modelForTesting();
    QTableWidget *results = table();

    QCOMPARE(model.generatedGroups.size(), 9);
    QCOMPARE(results->rowCount(), 9);
    QCOMPARE(results->columnCount(), 11);
    QCOMPARE(headers(results).first(), QStringLiteral("组号"));
    QCOMPARE(headers(results).last(), QStringLiteral("成员10"));
    for (int row = 0; row < 9; ++row) {
        QCOMPARE(results->item(row, 0)->text(), QStringLiteral("组 %1").arg(row + 1));
        QCOMPARE(results->item(row, 0)->background().style(), Qt::NoBrush);
        const Group &group = model.generatedGroups.at(row);
        QCOMPARE(group.size(), 6);
        for (int k = 0; k < group.size(); ++k) {
            const PersonId id = group.at(k);
            QTableWidgetItem *item = results->item(row, k + 1);
            QCOMPARE(item->text(), model.nameOf(id));
            const QColor expected = model.isBoarder(id) ? QColor(Qt::yellow)
                                    : model.isBoy(id)   ? QColor(200, 230, 255)
                                                        : QColor(255, 230, 255);
            QCOMPARE(item->background().style(), Qt::SolidPattern);
            QCOMPARE(item->background().color(), expected);
            QCOMPARE(item->font().bold(), model.isLeader(id));
        }
        for (int column = 7; column < 11; ++column) {
            QCOMPARE(results->item(row, column)->text(), QString());
            QCOMPARE(results->item(row, column)->background().style(), Qt::NoBrush);
        }
    }
    for (int column = 0; column < 11; ++column)
        QCOMPARE(results->horizontalHeader()->sectionResizeMode(column), QHeaderView::Stretch);

    const QStringList lines = logLines(window.get());
    QCOMPARE(lines.last(), QStringLiteral("09:05:03 - 分组生成完成"));
    QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("分组完成"));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("statusLabel"))->text(), QStringLiteral("09:05:03 - 分组生成完成"));
    QVERIFY(window->findChildren<QProgressDialog *>().isEmpty()); // the busy dialog is gone
}

void TestResultTable::generate_againGivesANewArrangement()
{
    makeWindow();
    generate();
    const Grouping first = window->modelForTesting().generatedGroups;
    generate();
    const Grouping second = window->modelForTesting().generatedGroups;
    QVERIFY(second != first);
    QCOMPARE(table()->item(1, 1)->text(), window->modelForTesting().nameOf(second.at(1).at(0)));
}

void TestResultTable::generate_logShowsTheKeptTryOnly_data()
{
    QTest::addColumn<int>("tries");
    QTest::newRow("one try: the single run") << 1;
    QTest::newRow("the default twenty") << 20;
}

void TestResultTable::generate_logShowsTheKeptTryOnly()
{
    QFETCH(int, tries);
    makeWindow([tries](ClassModel &model) {
        model.generationTries = tries;
        model.groupConfigs[0].females = 6; // a target no try meets, so every try runs
    });
    const int before = int(logLines(window.get()).size());
    generate();

    Engine::GenerationOptions options;
    options.tries = tries;
    options.trySeeds = countingSeeds(31);
    const Engine::GenerationResult expected = Engine::generate(window->modelForTesting(), LogSink(), options);
    QCOMPARE(expected.triesRun, tries);
    const QStringList lines = logLines(window.get());
    QCOMPARE(lines.mid(before, lines.size() - before - 1), expected.lines);
    QCOMPARE(window->modelForTesting().generatedGroups, expected.groups);
}

void TestResultTable::generate_noEnabledGroupShowsTheBox()
{
    makeWindow();
    generate();
    QCOMPARE(table()->rowCount(), 9);
    for (GroupConfig &config : window->modelForTesting().groupConfigs)
        config.enabled = false;

    ModalDriver driver;
    bool busyShown = false;
    actAfterBusyDialog(driver, [this, &busyShown](QWidget *modal) {
        // The box stands over the busy dialog, which offers no way to cancel.
        auto *busy = window->findChild<QProgressDialog *>();
        busyShown = busy && busy->isVisible() && busy->labelText() == QStringLiteral("正在生成分组...")
                    && busy->windowModality() == Qt::WindowModal && busy->findChildren<QPushButton *>().isEmpty();
        pressOk(modal);
    });
    generate();

    QCOMPARE(driver.last().title, QStringLiteral("错误"));
    QCOMPARE(driver.last().text, QStringLiteral("没有启用的分组"));
    QCOMPARE(driver.last().icon, QMessageBox::Warning);
    QVERIFY(busyShown);
    QVERIFY(window->findChildren<QProgressDialog *>().isEmpty());
    QVERIFY(window->modelForTesting().generatedGroups.isEmpty());
    QCOMPARE(table()->rowCount(), 0);
    QCOMPARE(table()->columnCount(), 11); // headers stay as they were
    QCOMPARE(logLines(window.get()).last(), QStringLiteral("09:05:03 - 分组生成完成"));
}

void TestResultTable::generate_impossibleSettingsAreCountedInTheStatusBar()
{
    makeWindow();
    QStatusBar *bar = window->statusBar();
    generate();
    QCOMPARE(bar->currentMessage(), QString());

    // Group 1 asks for one boy more and one girl fewer than the roster has.
    window->modelForTesting().groupConfigs[0] = GroupConfig{true, 6, 4, 2};
    generate();
    QCOMPARE(bar->currentMessage(), QStringLiteral("设置存在 2 个问题，请在设置中点击“检查设置”查看"));
    QCOMPARE(logLines(window.get()).last(), QStringLiteral("09:05:03 - 分组生成完成"));

    // The next outcome line takes the status bar back.
    window->findChild<QPushButton *>(QStringLiteral("checkConstraintsButton"))->click();
    QCOMPARE(bar->currentMessage(), QString());
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("statusLabel"))->text(), QStringLiteral("09:05:03 - 要求检查完成"));
}

void TestResultTable::generate_engineFailureShowsACriticalBox_data()
{
    QTest::addColumn<bool>("standard");
    QTest::addColumn<QString>("text");
    QTest::newRow("standard exception") << true << QStringLiteral("生成分组时发生错误: 种子不可用");
    QTest::newRow("anything else") << false << QStringLiteral("生成分组时发生未知错误");
}

void TestResultTable::generate_engineFailureShowsACriticalBox()
{
    QFETCH(bool, standard);
    QFETCH(QString, text);

    makeWindow();
    generate();
    const Grouping before = window->modelForTesting().generatedGroups;
    const QString cell = table()->item(0, 1)->text();
    const int lineCount = int(logLines(window.get()).size());

    window->setSeedSourceForTesting([standard]() -> quint32 {
        if (standard)
            throw std::runtime_error("种子不可用");
        throw 42;
    });
    ModalDriver driver;
    actAfterBusyDialog(driver, pressOk);
    generate();

    QCOMPARE(driver.last().title, QStringLiteral("错误"));
    QCOMPARE(driver.last().text, text);
    QCOMPARE(driver.last().icon, QMessageBox::Critical);
    QVERIFY(window->findChildren<QProgressDialog *>().isEmpty());
    QCOMPARE(window->modelForTesting().generatedGroups, before);
    QCOMPARE(table()->item(0, 1)->text(), cell);
    QCOMPARE(logLines(window.get()).size(), lineCount);
}

void TestResultTable::tableShape_data()
{
    QTest::addColumn<QList<int>>("enabledGroups");
    QTest::addColumn<int>("widestTotal");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("firstColumn");

    QTest::newRow("five groups") << QList<int>{1, 2, 3, 4, 5} << 6 << 11
                                 << QStringList{QStringLiteral("组 1"), QStringLiteral("组 2"), QStringLiteral("组 3"),
                                                QStringLiteral("组 4"), QStringLiteral("组 5")};
    QTest::newRow("ten groups") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << 6 << 11 << QStringList{};
    QTest::newRow("a group of twelve seats") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9} << 12 << 13 << QStringList{};
    QTest::newRow("groups 2 and 3") << QList<int>{2, 3} << 6 << 11
                                    << QStringList{QStringLiteral("组 2"), QStringLiteral("组 3")};
}

void TestResultTable::tableShape()
{
    QFETCH(QList<int>, enabledGroups);
    QFETCH(int, widestTotal);
    QFETCH(int, columns);
    QFETCH(QStringList, firstColumn);

    makeWindow([&](ClassModel &model) {
        for (int i = 0; i < kGroupCount; ++i)
            model.groupConfigs[i] = GroupConfig{enabledGroups.contains(i + 1), 6, 3, 3};
        model.groupConfigs[enabledGroups.last() - 1].total = widestTotal;
    });
    generate();
    QTableWidget *results = table();
    QCOMPARE(results->rowCount(), enabledGroups.size());
    QCOMPARE(results->columnCount(), columns);
    QCOMPARE(headers(results).last(), QStringLiteral("成员%1").arg(columns - 1));
    for (int row = 0; row < firstColumn.size(); ++row)
        QCOMPARE(results->item(row, 0)->text(), firstColumn.at(row));

    const Grouping &groups = window->modelForTesting().generatedGroups;
    for (int row = 0; row < results->rowCount(); ++row) {
        for (int column = 1; column < columns; ++column) {
            QTableWidgetItem *item = results->item(row, column);
            QVERIFY(item);
            QCOMPARE(item->text().isEmpty(), column > groups.at(row).size());
        }
    }
}

void TestResultTable::resultTablePaintedTwicePerGeneration_data()
{
    // Seats of group 3 in the first and the second generation.
    QTest::addColumn<int>("firstTotal");
    QTest::addColumn<int>("secondTotal");
    QTest::addColumn<int>("paints"); // 0: not counted

    QTest::newRow("same columns") << 6 << 6 << 1;
    QTest::newRow("more columns") << 6 << 12 << 0;
    QTest::newRow("fewer columns") << 12 << 6 << 0;
}

// The shown window paints a new arrangement once, and every paint shows the
// columns sharing the width.
void TestResultTable::resultTablePaintedTwicePerGeneration()
{
    QFETCH(int, firstTotal);
    QFETCH(int, secondTotal);
    QFETCH(int, paints);

    makeWindow([&](ClassModel &model) { model.groupConfigs[2].total = firstTotal; });
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QWidget *viewport = table()->viewport();
    QHeaderView *header = table()->horizontalHeader();
    QList<QList<int>> paintedWidths;
    EventRecorder recorder(viewport, QEvent::Paint, [&] {
        QList<int> widths;
        for (int column = 0; column < header->count(); ++column)
            widths.append(header->sectionSize(column));
        paintedWidths.append(widths);
    });
    // After each generation: wait for the new rows to be painted, then leave
    // time for any repaint the table may still have scheduled.
    generate();
    QTRY_VERIFY(!paintedWidths.isEmpty() && paintedWidths.last().size() == std::max(11, firstTotal + 1));
    QTest::qWait(100);
    paintedWidths.clear();
    window->modelForTesting().groupConfigs[2].total = secondTotal;
    const int columns = std::max(11, secondTotal + 1);
    generate();
    QTRY_VERIFY(!paintedWidths.isEmpty() && paintedWidths.last().size() == columns);
    QTest::qWait(100);

    QCOMPARE(table()->columnCount(), columns);
    if (paints > 0)
        QCOMPARE(paintedWidths.size(), paints);
    for (const QList<int> &widths : std::as_const(paintedWidths)) {
        QCOMPARE(widths.size(), columns);
        QCOMPARE(std::accumulate(widths.begin(), widths.end(), 0), viewport->width());
        const auto [narrowest, widest] = std::minmax_element(widths.begin(), widths.end());
        QVERIFY(*widest - *narrowest <= 1);
    }
}

void TestResultTable::columnsShareTheWidthAsIfFittedFirst_data()
{
    QTest::addColumn<int>("persons"); // 0: the demo class
    QTest::addColumn<QSize>("size");  // invalid: never shown

    QTest::newRow("demo class, never shown") << 0 << QSize();
    QTest::newRow("demo class, smallest window") << 0 << QSize(1004, 753);
    QTest::newRow("demo class, wide window") << 0 << QSize(1270, 860);
    QTest::newRow("1,000 persons, wider than the view") << 1000 << QSize(1004, 753);
}

// The table skips fitting the columns to their contents before stretching
// them: the widths are the ones the two steps give.
void TestResultTable::columnsShareTheWidthAsIfFittedFirst()
{
    QFETCH(int, persons);
    QFETCH(QSize, size);

    makeWindow([&](ClassModel &model) {
        if (persons > 0) {
            model = stressClass(persons);
            model.useSolver = false; // its search would only take time
        }
    });
    if (size.isValid()) {
        window->resize(size);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    generate();
    QHeaderView *header = table()->horizontalHeader();
    const QList<int> widths = sectionWidths(header);

    table()->resizeColumnsToContents();
    QVERIFY(sectionWidths(header) != widths); // the fitted widths differ
    header->setSectionResizeMode(QHeaderView::Stretch);
    QCOMPARE(sectionWidths(header), widths);
}

void TestResultTable::details_answerTheFirstAndTheTenthRow()
{
    makeWindow([](ClassModel &model) {
        for (GroupConfig &config : model.groupConfigs)
            config = GroupConfig{true, 6, 3, 3};
    });
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    generate();
    const ClassModel &model = window->modelForTesting();
    QTableWidget *results = table();
    QCOMPARE(results->rowCount(), 10);

    for (int row : {0, 9}) {
        results->scrollToItem(results->item(row, 2));
        const QPoint centre = results->visualItemRect(results->item(row, 2)).center();
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, centre);

        QStringList names;
        for (PersonId id : model.generatedGroups.at(row))
            names.append(model.nameOf(id));
        const QStringList lines = logLines(window.get());
        const qsizetype heading = lines.lastIndexOf(QStringLiteral("组 %1 详情:").arg(row + 1));
        QVERIFY(heading >= 0);
        QCOMPARE(lines.at(heading + 1), names.join(u' ') + u' ');
        // Whatever follows is one warning per unmet demo requirement.
        for (qsizetype i = heading + 2; i < lines.size(); ++i)
            QVERIFY(lines.at(i).startsWith(QStringLiteral("警告: ")));
    }
}

void TestResultTable::details_escapeNamesAndWarnAboutUnmetRequirements()
{
    makeWindow([](ClassModel &model) {
        model.maleNames[0] = QStringLiteral("<i>甲</i>");
        model.rebuildNameMaps();
        model.generatedGroups = {{1, 2}, {3, 25}};
        model.mustTogether = {{1, 2}, {1, 3}};
        model.mustSeparate = {{3, 1, 2}, {1, 25}, {25, 3, 25}};
    });
    QMetaObject::invokeMethod(window.get(), "showGroupDetails", Q_ARG(int, 0), Q_ARG(int, 3));
    const QStringList lines = logLines(window.get());
    // One warning per unmet requirement, 必须同组 first; {25, 3, 25} names 25 twice.
    QCOMPARE(lines.mid(lines.size() - 5),
             (QStringList{QStringLiteral("组 1 详情:"), QStringLiteral("<i>甲</i> 李子轩 "),
                          QStringLiteral("警告: 必须同组要求未满足"), QStringLiteral("警告: 不能同组要求未满足"),
                          QStringLiteral("警告: 不能同组要求未满足")}));
    const QString html = window->findChild<QTextEdit *>(QStringLiteral("logView"))->toHtml();
    QVERIFY(html.contains(QStringLiteral("&lt;i&gt;甲&lt;/i&gt;")));
    QVERIFY(html.contains(QStringLiteral("color:#ff0000")));

    // A row beyond the enabled groups writes nothing.
    window->modelForTesting().generatedGroups.append(Group{4});
    const int count = int(logLines(window.get()).size());
    QMetaObject::invokeMethod(window.get(), "showGroupDetails", Q_ARG(int, 9), Q_ARG(int, 0));
    QMetaObject::invokeMethod(window.get(), "showGroupDetails", Q_ARG(int, -1), Q_ARG(int, 0));
    QCOMPARE(logLines(window.get()).size(), count);
}

QTEST_MAIN(TestResultTable)
#include "test_resulttable.moc"
