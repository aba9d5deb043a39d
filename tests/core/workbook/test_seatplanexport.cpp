// The export routine against scripted applications: detection, save forms,
// failures, clean-up, and what is written into which cell.
#include "fakeapplication.h"

#include "core/platform/clock.h"
#include "core/workbook/seatplanexport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Scenario = std::shared_ptr<FakeScenario>;

class TestSeatPlanExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Finding an application
    void detectionLine_data();
    void detectionLine();
    void nullApplicationReleasedBeforeNextIsTried();
    void noApplicationAtAll();
    void builtInEngineOnlyWithoutCom();

    // Saving
    void wpsSaveForms_data();
    void wpsSaveForms();
    void savedFileMissingEmptyOrTruncated_data();
    void savedFileMissingEmptyOrTruncated();
    void closeAndQuitErrorsAreIgnored();

    // Failures and clean-up
    void nullSubObject_data();
    void nullSubObject();
    void errorWithoutMessageIsUnknown();
    void comInitialisationFailure_data();
    void comInitialisationFailure();
    void emptyFileNameTouchesNothing();
    void templateChoice_data();
    void templateChoice();

    // Filling
    void markers_data();
    void markers();
    void leaderAndBoarderFormatting();
    void scanStartsAtA1AndStaysInsideTheCounts();
    void suffixRule_data();
    void suffixRule();

private:
    Scenario registerApp(const QString &programId);
    bool run(const QString &fileName = QString());

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeComSystem m_com;
    ClassModel m_model;
    QString m_style = QStringLiteral("样式1");
    QStringList m_events;
};

void TestSeatPlanExport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QFile style1(m_dir->filePath(SeatPlan::kStyle1File));
    QVERIFY(style1.open(QIODevice::WriteOnly));
    style1.write("template");
    style1.close();

    m_com = FakeComSystem();
    Automation::ApplicationRegistry::instance().reset();
    Automation::ApplicationRegistry::instance().setComSystem(&m_com);

    m_model = ClassModel();
    m_model.maleNames = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")};
    m_model.femaleNames = {QStringLiteral("丁"), QStringLiteral("戊"), QStringLiteral("己")};
    m_model.rebuildNameMaps();
    m_model.leaderNames = {QStringLiteral("甲"), QStringLiteral("丁")};
    m_model.boarderNames = {QStringLiteral("乙"), QStringLiteral("丁")};
    m_model.generatedGroups = {{1, 4}, {2, 5}, {3, 6}};
    m_style = QStringLiteral("样式1");
    m_events.clear();
    setClockForTesting([] { return QDateTime(QDate(2025, 10, 8), QTime(9, 5, 3)); });
}

void TestSeatPlanExport::cleanup()
{
    Automation::ApplicationRegistry::instance().reset();
    setClockForTesting(nullptr);
}

Scenario TestSeatPlanExport::registerApp(const QString &programId)
{
    auto scenario = std::make_shared<FakeScenario>();
    Automation::ApplicationRegistry::instance().registerApplication(programId,
                                                                    [scenario] { return makeFakeApplication(scenario); });
    return scenario;
}

bool TestSeatPlanExport::run(const QString &fileName)
{
    SeatPlan::Reporter reporter;
    reporter.warning = [this](const QString &text) { m_events.append(QStringLiteral("warning: ") + text); };
    reporter.critical = [this](const QString &text) { m_events.append(QStringLiteral("critical: ") + text); };
    reporter.detail = [this](const QString &text) { m_events.append(QStringLiteral("log: ") + text); };
    reporter.exported = [this](const QString &path) { m_events.append(QStringLiteral("exported: ") + path); };
    const SeatPlan::Source source{m_model, m_style, m_dir->filePath(QStringLiteral("config.ini")), m_dir->path()};
    return SeatPlan::writeSeatTable(fileName.isNull() ? m_dir->filePath(QStringLiteral("plan")) : fileName, source,
                                    reporter);
}

// ---- Finding an application

void TestSeatPlanExport::detectionLine_data()
{
    QTest::addColumn<QString>("programId");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("saveCall");
    QTest::newRow("Excel") << "Excel.Application" << QStringList{QStringLiteral("log: 检测到Microsoft Excel")}
                           << "Workbook.SaveAs(const QString&, int)[%1,51]";
    QTest::newRow("KWPS") << "KWPS.Application"
                          << QStringList{QStringLiteral("log: 检测到WPS Office (Kingsoft)"),
                                         QStringLiteral("log: 使用WPS特有保存方式")}
                          << "Workbook.SaveAs(const QString&)[%1]";
    QTest::newRow("KET") << "KET.Application"
                         << QStringList{QStringLiteral("log: 检测到WPS表格 (KET)"), QStringLiteral("log: 使用WPS特有保存方式")}
                         << "Workbook.SaveAs(const QString&)[%1]";
    QTest::newRow("ET") << "ET.Application"
                        << QStringList{QStringLiteral("log: 检测到WPS表格 (ET)"), QStringLiteral("log: 使用WPS特有保存方式")}
                        << "Workbook.SaveAs(const QString&)[%1]";
}

void TestSeatPlanExport::detectionLine()
{
    QFETCH(QString, programId);
    QFETCH(QStringList, lines);
    QFETCH(QString, saveCall);
    const Scenario scenario = registerApp(programId);

    QVERIFY(run());
    const QString savePath = QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("plan.xlsx")));
    QCOMPARE(m_events, lines + QStringList{QStringLiteral("exported: ") + savePath});
    QVERIFY(scenario->journal.contains(saveCall.arg(savePath)));
    QVERIFY(scenario->journal.contains(
        QStringLiteral("Workbooks>Open(const QString&)")));
    QCOMPARE(scenario->journal.first(), QStringLiteral("Application.Visible=false"));
    QCOMPARE(scenario->journal.mid(1, 2),
             (QStringList{QStringLiteral("Application.DisplayAlerts=false"), QStringLiteral("Application.ScreenUpdating=false")}));
    const QStringList tail = scenario->journal.mid(scenario->journal.size() - 4);
    QCOMPARE(tail, (QStringList{QStringLiteral("Application.ScreenUpdating=true"),
                                QStringLiteral("Application.DisplayAlerts=true"), QStringLiteral("Workbook.Close(Boolean)[false]"),
                                QStringLiteral("Application.Quit()[]")}));
    QCOMPARE(scenario->liveObjects, 0);
    QCOMPARE(m_com.initializations, 1);
    QCOMPARE(m_com.uninitializations, 1);
}

void TestSeatPlanExport::nullApplicationReleasedBeforeNextIsTried()
{
    auto excel = std::make_shared<FakeScenario>();
    Automation::ApplicationRegistry::instance().registerApplication(QStringLiteral("Excel.Application"), [excel] {
        return makeFakeApplication(excel, true);
    });
    const Scenario kwps = registerApp(QStringLiteral("KWPS.Application"));
    Automation::ApplicationRegistry::instance().registerApplication(QStringLiteral("KET.Application"), [&] {
        // By the time the next identifier is asked for, the null one is gone.
        [&] { QCOMPARE(excel->liveObjects, 0); }();
        return nullptr;
    });

    QVERIFY(run());
    QCOMPARE(m_events.first(), QStringLiteral("log: 检测到WPS Office (Kingsoft)"));
    QCOMPARE(excel->createdObjects, 1);
    QCOMPARE(excel->liveObjects, 0);
    QCOMPARE(kwps->liveObjects, 0);
}

void TestSeatPlanExport::noApplicationAtAll()
{
    QVERIFY(!run());
    QCOMPARE(m_events, QStringList{QStringLiteral(
                           "warning: 无法创建 Excel 或 WPS 对象，请确保已安装 Microsoft Excel 或 WPS Office")});
    QCOMPARE(m_com.uninitializations, 1);
}

void TestSeatPlanExport::builtInEngineOnlyWithoutCom()
{
    m_com.com = false;
    QVERIFY(!run()); // the fake template is no workbook, but the engine was used
    QCOMPARE(m_events.first(), QStringLiteral("log: 使用内置表格引擎"));
    QVERIFY(m_events.last().startsWith(QStringLiteral("critical: 导出失败: ")));

    // An installed application still comes first.
    m_events.clear();
    const Scenario excel = registerApp(QStringLiteral("Excel.Application"));
    QVERIFY(run());
    QCOMPARE(m_events.first(), QStringLiteral("log: 检测到Microsoft Excel"));
    QCOMPARE(m_com.uninitializations, 2);
}

// ---- Saving

void TestSeatPlanExport::wpsSaveForms_data()
{
    QTest::addColumn<QStringList>("raising");
    QTest::addColumn<QStringList>("nulls");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("formLine");
    QTest::addColumn<bool>("result");

    const QString first = QStringLiteral("Workbook.SaveAs(const QString&)[%1]");
    const QString second = QStringLiteral("ActiveWorkbook.SaveAs(QVariant)[%1]");
    const QString third = QStringLiteral("Workbook.SaveAs(QString)[%1]");
    QTest::newRow("first form") << QStringList{} << QStringList{} << QStringList{first} << "使用WPS特有保存方式" << true;
    QTest::newRow("second form") << QStringList{QStringLiteral("Workbook.SaveAs(const QString&)")} << QStringList{}
                                 << QStringList{first, second} << "使用WPS备用保存方式" << true;
    QTest::newRow("third form") << QStringList{QStringLiteral("Workbook.SaveAs(const QString&)"),
                                               QStringLiteral("ActiveWorkbook.SaveAs(QVariant)")}
                                << QStringList{} << QStringList{first, second, third} << "使用WPS最后尝试保存方式" << true;
    QTest::newRow("no active workbook ends the sequence")
        << QStringList{QStringLiteral("Workbook.SaveAs(const QString&)")} << QStringList{QStringLiteral("ActiveWorkbook")}
        << QStringList{first} << QString() << false;
    QTest::newRow("all three raise") << QStringList{QStringLiteral("Workbook.SaveAs(const QString&)"),
                                                    QStringLiteral("ActiveWorkbook.SaveAs(QVariant)"),
                                                    QStringLiteral("Workbook.SaveAs(QString)")}
                                     << QStringList{} << QStringList{first, second, third} << QString() << false;
}

void TestSeatPlanExport::wpsSaveForms()
{
    QFETCH(QStringList, raising);
    QFETCH(QStringList, nulls);
    QFETCH(QStringList, calls);
    QFETCH(QString, formLine);
    QFETCH(bool, result);
    const Scenario scenario = registerApp(QStringLiteral("KET.Application"));
    scenario->raisingMembers = QSet<QString>(raising.cbegin(), raising.cend());
    scenario->nullMembers = QSet<QString>(nulls.cbegin(), nulls.cend());

    QCOMPARE(run(), result);
    const QString savePath = QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("plan.xlsx")));
    QStringList saveCalls;
    for (const QString &line : scenario->journal) {
        if (line.contains(QStringLiteral(".SaveAs(")))
            saveCalls.append(line);
    }
    QStringList expected;
    for (const QString &call : calls)
        expected.append(call.arg(savePath));
    QCOMPARE(saveCalls, expected);

    QStringList formLines;
    for (const QString &event : m_events) {
        if (event.startsWith(QStringLiteral("log: 使用WPS")))
            formLines.append(event.mid(5));
    }
    QCOMPARE(formLines, formLine.isEmpty() ? QStringList() : QStringList{formLine});
    if (!result) {
        const QString reason = raising.size() == 3 ? QStringLiteral("模拟错误") : QStringLiteral("文件保存失败，请检查路径和权限");
        QCOMPARE(m_events.last(), QStringLiteral("critical: 导出失败: ") + reason);
    }
    QCOMPARE(scenario->liveObjects, 0);
    QCOMPARE(m_com.uninitializations, 1);
}

void TestSeatPlanExport::savedFileMissingEmptyOrTruncated_data()
{
    QTest::addColumn<int>("effect");
    QTest::newRow("nothing written") << int(FakeScenario::SaveEffect::WritesNothing);
    QTest::newRow("empty file") << int(FakeScenario::SaveEffect::WritesEmptyFile);
    QTest::newRow("truncated workbook") << int(FakeScenario::SaveEffect::WritesTruncatedFile);
}

void TestSeatPlanExport::savedFileMissingEmptyOrTruncated()
{
    QFETCH(int, effect);
    const Scenario scenario = registerApp(QStringLiteral("Excel.Application"));
    scenario->saveEffect = FakeScenario::SaveEffect(effect);

    QVERIFY(!run());
    QCOMPARE(m_events, (QStringList{QStringLiteral("log: 检测到Microsoft Excel"),
                                    QStringLiteral("critical: 导出失败: 文件保存失败，请检查路径和权限")}));
    // Not switched back on after a failure, but closed and quit all the same.
    QVERIFY(!scenario->journal.contains(QStringLiteral("Application.ScreenUpdating=true")));
    QVERIFY(scenario->journal.contains(QStringLiteral("Workbook.Close(Boolean)[false]")));
    QCOMPARE(scenario->journal.last(), QStringLiteral("Application.Quit()[]"));
    QCOMPARE(scenario->liveObjects, 0);
    QCOMPARE(m_com.uninitializations, 1);
}

void TestSeatPlanExport::closeAndQuitErrorsAreIgnored()
{
    const Scenario scenario = registerApp(QStringLiteral("Excel.Application"));
    scenario->raisingMembers = {QStringLiteral("Close(Boolean)"), QStringLiteral("Quit()")};
    QVERIFY(run());
    QCOMPARE(m_events.size(), 2);
    QVERIFY(m_events.last().startsWith(QStringLiteral("exported: ")));
    QCOMPARE(scenario->liveObjects, 0);
    QCOMPARE(m_com.uninitializations, 1);
}

// ---- Failures and clean-up

void TestSeatPlanExport::nullSubObject_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("closesWorkbook");
    QTest::newRow("Workbooks") << "Workbooks" << "无法获取Workbooks对象" << false;
    QTest::newRow("Open") << "Open(const QString&)" << "无法打开模板文件" << false;
    QTest::newRow("Sheets") << "Sheets" << "无法获取Sheets集合" << true;
    QTest::newRow("Item") << "Item(int)" << "无法获取工作表" << true;
    QTest::newRow("UsedRange") << "UsedRange" << "无法获取工作表的已用区域" << true;
    QTest::newRow("Rows") << "Rows" << "无法获取已用区域的行" << true;
    QTest::newRow("Font") << "Font" << "无法获取单元格字体" << true;
    QTest::newRow("Interior") << "Interior" << "无法获取单元格背景" << true;
}

void TestSeatPlanExport::nullSubObject()
{
    QFETCH(QString, member);
    QFETCH(QString, message);
    QFETCH(bool, closesWorkbook);
    const Scenario scenario = registerApp(QStringLiteral("Excel.Application"));
    scenario->cells.insert({1, 1}, QStringLiteral("2-1")); // a boarder: needs font and interior
    scenario->nullMembers = {member};

    QVERIFY(!run());
    QCOMPARE(m_events.last(), QStringLiteral("critical: 导出失败: ") + message);
    QCOMPARE(scenario->journal.contains(QStringLiteral("Workbook.Close(Boolean)[false]")), closesWorkbook);
    QCOMPARE(scenario->journal.last(), QStringLiteral("Application.Quit()[]"));
    QCOMPARE(scenario->liveObjects, 0);
    QCOMPARE(m_com.uninitializations, 1);
}

void TestSeatPlanExport::errorWithoutMessageIsUnknown()
{
    const Scenario scenario = registerApp(QStringLiteral("Excel.Application"));
    scenario->raisingMembers = {QStringLiteral("Visible")};
    scenario->raisedMessage.clear();
    QVERIFY(!run());
    QCOMPARE(m_events.last(), QStringLiteral("critical: 导出失败: 未知错误"));
    QCOMPARE(scenario->liveObjects, 0);
    QCOMPARE(m_com.uninitializations, 1);
}

void TestSeatPlanExport::comInitialisationFailure_data()
{
    QTest::addColumn<qint64>("status");
    QTest::addColumn<QString>("systemText");
    QTest::addColumn<QString>("description");
    QTest::newRow("system text, line break removed") << qint64(0x80070005) << "拒绝访问。\r\n" << "拒绝访问。";
    QTest::newRow("dispatch range, first") << qint64(0x80040201) << "" << "IDispatch error #1";
    QTest::newRow("dispatch range, last") << qint64(0x8004FFFF) << "" << "IDispatch error #65023";
    QTest::newRow("just below the range") << qint64(0x80040200) << "" << "Unknown error 0x80040200";
    QTest::newRow("other code") << qint64(0x80010106) << "" << "Unknown error 0x80010106";
}

void TestSeatPlanExport::comInitialisationFailure()
{
    QFETCH(qint64, status);
    QFETCH(QString, systemText);
    QFETCH(QString, description);
    const Scenario scenario = registerApp(QStringLiteral("Excel.Application"));
    m_com.status = Automation::ComStatus(quint32(status));
    m_com.message = systemText;

    QVERIFY(!run());
    QCOMPARE(m_events, QStringList{QStringLiteral("warning: COM初始化失败: ") + description});
    QCOMPARE(m_com.uninitializations, 0);
    QCOMPARE(scenario->createdObjects, 0);

    // "Already initialised" is a success.
    m_events.clear();
    m_com.status = 1;
    QVERIFY(run());
    QCOMPARE(m_com.uninitializations, 1);
}

void TestSeatPlanExport::emptyFileNameTouchesNothing()
{
    registerApp(QStringLiteral("Excel.Application"));
    QVERIFY(!run(QStringLiteral("")));
    QCOMPARE(m_events, QStringList{QStringLiteral("warning: 文件名不能为空")});
    QCOMPARE(m_com.initializations, 0);
}

void TestSeatPlanExport::templateChoice_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("customPath"); // relative to the directory
    QTest::addColumn<QString>("expected");   // file name, or the warning

    const QStringList both{SeatPlan::kStyle1File, SeatPlan::kStyle2File};
    QTest::newRow("style 1") << "样式1" << both << "" << SeatPlan::kStyle1File;
    QTest::newRow("style 2") << "样式2" << both << "" << SeatPlan::kStyle2File;
    QTest::newRow("other text is style 1") << "样式9" << both << "" << SeatPlan::kStyle1File;
    QTest::newRow("style 2 missing") << "样式2" << QStringList{SeatPlan::kStyle1File} << "" << SeatPlan::kStyle1File;
    QTest::newRow("style 1 missing") << "样式1" << QStringList{SeatPlan::kStyle2File} << "" << SeatPlan::kStyle2File;
    QTest::newRow("none") << "样式1" << QStringList{} << ""
                          << "未找到座位模板文件，请确保同目录下有'座位样式1.xlsx'或'座位样式2.xlsx'";
    QTest::newRow("custom") << "自定义" << both << "mine.xlsx" << "mine.xlsx";
    QTest::newRow("custom empty") << "自定义" << both << "" << "自定义样式文件不存在，请重新选择";
    QTest::newRow("custom missing") << "自定义" << both << "gone.xlsx" << "自定义样式文件不存在，请重新选择";
}

void TestSeatPlanExport::templateChoice()
{
    QFETCH(QString, style);
    QFETCH(QStringList, present);
    QFETCH(QString, customPath);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString &name : present + QStringList{QStringLiteral("mine.xlsx")}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString config = dir.filePath(QStringLiteral("config.ini"));
    QFile ini(config);
    QVERIFY(ini.open(QIODevice::WriteOnly));
    if (!customPath.isEmpty())
        ini.write("[Style]\nCustomPath=" + dir.filePath(customPath).toUtf8() + "\n");
    ini.close();

    const SeatPlan::TemplateChoice choice = SeatPlan::chooseTemplate(style, config, dir.path());
    if (expected.endsWith(QStringLiteral(".xlsx"))) {
        QCOMPARE(choice.path, dir.filePath(expected));
        QVERIFY(choice.error.isEmpty());
    } else {
        QVERIFY(choice.path.isEmpty());
        QCOMPARE(choice.error, expected);
    }
}

// ---- Filling

void TestSeatPlanExport::markers_data()
{
    QTest::addColumn<QVariant>("content");
    QTest::addColumn<QVariant>("written"); // invalid: cell left alone

    const QVariant alone;
    QTest::newRow("date marker") << QVariant(QStringLiteral("XXXX.XX.XX")) << QVariant(QStringLiteral("2025.10.08"));
    QTest::newRow("title with date marker") << QVariant(QStringLiteral("第6周 XXXX.XX.XX 座位"))
                                            << QVariant(QStringLiteral("2025.10.08"));
    QTest::newRow("lower-case date marker") << QVariant(QStringLiteral("xxxx.xx.xx")) << alone;
    QTest::newRow("seat") << QVariant(QStringLiteral("3-2")) << QVariant(QStringLiteral("己"));
    QTest::newRow("leading zeros") << QVariant(QStringLiteral("03-02")) << QVariant(QStringLiteral("己"));
    QTest::newRow("leading space") << QVariant(QStringLiteral(" 3-2")) << alone;
    QTest::newRow("trailing line break") << QVariant(QStringLiteral("3-2\n")) << alone;
    QTest::newRow("three parts") << QVariant(QStringLiteral("3-5-1")) << alone;
    QTest::newRow("no seat") << QVariant(QStringLiteral("3-")) << alone;
    QTest::newRow("no group") << QVariant(QStringLiteral("-2")) << alone;
    QTest::newRow("full-width digits") << QVariant(QStringLiteral("３-２")) << alone;
    QTest::newRow("group 0") << QVariant(QStringLiteral("0-1")) << QVariant(QStringLiteral(""));
    QTest::newRow("seat 0") << QVariant(QStringLiteral("3-0")) << QVariant(QStringLiteral(""));
    QTest::newRow("group past the last") << QVariant(QStringLiteral("4-1")) << QVariant(QStringLiteral(""));
    QTest::newRow("seat past the group") << QVariant(QStringLiteral("2-3")) << QVariant(QStringLiteral(""));
    QTest::newRow("too large to convert") << QVariant(QStringLiteral("99999999999-1")) << QVariant(QStringLiteral(""));
    QTest::newRow("number") << QVariant(12.0) << alone;
    QTest::newRow("other text") << QVariant(QStringLiteral("讲台")) << alone;
}

void TestSeatPlanExport::markers()
{
    QFETCH(QVariant, content);
    QFETCH(QVariant, written);
    const Scenario scenario = registerApp(QStringLiteral("Excel.Application"));
    scenario->cells.insert({1, 1}, content);

    QVERIFY(run());
    QStringList writes;
    for (const QString &line : scenario->journal) {
        if (line.startsWith(QStringLiteral("Cell(1,1).Value=")))
            writes.append(line.mid(16));
    }
    QCOMPARE(writes, written.isValid() ? QStringList{written.toString()} : QStringList());
}

void TestSeatPlanExport::leaderAndBoarderFormatting()
{
    const Scenario scenario = registerApp(QStringLiteral("Excel.Application"));
    scenario->rowCount = 1;
    scenario->columnCount = 4;
    scenario->cells.insert({1, 1}, QStringLiteral("1-1")); // 甲: leader
    scenario->cells.insert({1, 2}, QStringLiteral("2-1")); // 乙: boarder
    scenario->cells.insert({1, 3}, QStringLiteral("1-2")); // 丁: leader and boarder
    scenario->cells.insert({1, 4}, QStringLiteral("3-1")); // 丙: neither

    QVERIFY(run());
    const QStringList formatting = [&] {
        QStringList lines;
        for (const QString &line : scenario->journal) {
            if (line.startsWith(QStringLiteral("Cell(")) || line.startsWith(QStringLiteral("Font("))
                || line.startsWith(QStringLiteral("Interior(")))
                lines.append(line);
        }
        return lines;
    }();
    auto seat = [](int column, const QString &name, bool bold, bool yellow) {
        const QString at = QStringLiteral("(1,%1)").arg(column);
        QStringList lines{QStringLiteral("Cell%1.Value=%2").arg(at, name),
                          QStringLiteral("Cell%1.HorizontalAlignment=-4108").arg(at),
                          QStringLiteral("Cell%1.VerticalAlignment=-4108").arg(at), QStringLiteral("Cell%1.WrapText=true").arg(at),
                          QStringLiteral("Font%1.Size=16").arg(at)};
        if (bold)
            lines.append(QStringLiteral("Font%1.Bold=true").arg(at));
        if (yellow)
            lines.append(QStringLiteral("Interior%1.Color=65535").arg(at));
        return lines;
    };
    QCOMPARE(formatting, seat(1, QStringLiteral("甲"), true, false) + seat(2, QStringLiteral("乙"), false, true)
                             + seat(3, QStringLiteral("丁"), true, true) + seat(4, QStringLiteral("丙"), false, false));
}

void TestSeatPlanExport::scanStartsAtA1AndStaysInsideTheCounts()
{
    const Scenario scenario = registerApp(QStringLiteral("Excel.Application"));
    // A used range of 2 x 2 cells, wherever it begins, scans A1:B2 only.
    scenario->rowCount = 2;
    scenario->columnCount = 2;
    scenario->cells.insert({2, 2}, QStringLiteral("1-1"));
    scenario->cells.insert({3, 3}, QStringLiteral("1-2"));
    scenario->cells.insert({1, 3}, QStringLiteral("XXXX.XX.XX"));

    QVERIFY(run());
    QCOMPARE(scenario->cells.value({2, 2}).toString(), QStringLiteral("甲"));
    QCOMPARE(scenario->cells.value({3, 3}).toString(), QStringLiteral("1-2"));
    QCOMPARE(scenario->cells.value({1, 3}).toString(), QStringLiteral("XXXX.XX.XX"));
}

void TestSeatPlanExport::suffixRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << "plan" << "plan.xlsx";
    QTest::newRow("lower") << "plan.xlsx" << "plan.xlsx";
    QTest::newRow("upper") << "plan.XLSX" << "plan.XLSX";
    QTest::newRow("other extension") << "plan.xls" << "plan.xls.xlsx";
}

void TestSeatPlanExport::suffixRule()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(SeatPlan::withXlsxSuffix(name), expected);
}

QTEST_GUILESS_MAIN(TestSeatPlanExport)
#include "test_seatplanexport.moc"
