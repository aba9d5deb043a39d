// The real executable as a process, copied into a folder of its own with the
// demo class beside it (portable use), run without any display.
#include "common/testenvironment.h"
#include "common/solvableclass.h"
#include "common/pdfreadback.h"
#include "common/readback.h"

#include "ui/window/mainwindow.h"
#include "core/storage/arrangementhistory.h"
#include "core/storage/configstore.h"
#include "core/engine/generation.h"
#include "core/update/releaseinfo.h"

#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void helpAndVersion_data();
    void helpAndVersion();
    void badInput_data();
    void badInput();
    void windowWithoutDisplaySaysSoInOneLine();
    void commandsLoadQtGuiOnlyToDrawPages_data();
    void commandsLoadQtGuiOnlyToDrawPages();
    void missingGuiLibrarySaysSoAndCommandsStillRun_data();
    void missingGuiLibrarySaysSoAndCommandsStillRun();
    void solverLoadedOnlyWhenATryMissesARequirement_data();
    void solverLoadedOnlyWhenATryMissesARequirement();
    void librariesAreNeverTakenFromTheWorkingFolder_data();
    void librariesAreNeverTakenFromTheWorkingFolder();

    void seededRunMatchesTheWindow();
    void randomRunPrintsItsSeedAndReplays();
    void noSolverKeepsTheBestTry();
    void exportedPlanReadsBack();
    void pdfReadsBack_data();
    void pdfReadsBack();
    void checkReadsTheLastSavedPlan();
    void generationsAreRecordedInTheHistory();
    void recordedSeedRepeatsItsArrangement_data();
    void recordedSeedRepeatsItsArrangement();

private:
    struct Run
    {
        int exitCode = -1;
        QStringList out;
        QString error;
    };
    // environment: NAME=value entries added for this run.
    Run run(const QStringList &arguments, const QStringList &environment = {}) const;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList expand(QStringList arguments) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_config;
    QString m_workingFolder; // the runs' working directory when set
};

void TestCommandLine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::copy(QStringLiteral(QUORVANE_EXECUTABLE), path(QStringLiteral("quorvane"))));
#ifdef QUORVANE_GUI_LIBRARY
    QVERIFY(QFile::copy(QStringLiteral(QUORVANE_GUI_LIBRARY), path(QStringLiteral("libquorvane-gui.so"))));
    QVERIFY(QFile::copy(QStringLiteral(QUORVANE_SOLVER_LIBRARY), path(QStringLiteral("libquorvane-solver.so"))));
#endif
    for (const QString &name : {QStringLiteral("座位样式1.xlsx"), QStringLiteral("座位样式2.xlsx")})
        QVERIFY(QFile::copy(QStringLiteral(QUORVANE_TEMPLATE_DIR "/") + name, path(name)));
    m_config = demoConfigText();
    QFile config(path(QStringLiteral("config.ini")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(m_config);
}

void TestCommandLine::cleanup()
{
    // No command ever writes the configuration.
    QFile config(path(QStringLiteral("config.ini")));
    QVERIFY(config.open(QIODevice::ReadOnly));
    QCOMPARE(config.readAll(), m_config);
    m_dir.reset();
    m_workingFolder.clear();
}

TestCommandLine::Run TestCommandLine::run(const QStringList &arguments, const QStringList &extra) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    for (const QString &entry : extra)
        environment.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    environment.insert(QStringLiteral("HOME"), m_dir->path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir->path());

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_workingFolder);
    process.start(path(QStringLiteral("quorvane")), expand(arguments));
    Run result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    result.out = out.isEmpty() ? QStringList() : out.chopped(1).split(u'\n');
    result.error = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QStringList TestCommandLine::expand(QStringList arguments) const
{
    for (QString &argument : arguments)
        argument.replace(QStringLiteral("@dir"), m_dir->path());
    return arguments;
}

// ---- Arguments

void TestCommandLine::helpAndVersion_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("shows");

    const QString version = QStringLiteral("Quorvane ") + ReleaseInfo::kCurrentVersion;
    QTest::newRow("--version") << QStringList{"--version"} << version;
    QTest::newRow("-v") << QStringList{"-v"} << version;
    QTest::newRow("--help") << QStringList{"--help"} << "  check       检查最近保存的座位表：人员统计和要求检查";
    QTest::newRow("generate --help") << QStringList{"generate", "--help"} << "用法：quorvane generate [选项]";
    QTest::newRow("check --help") << QStringList{"check", "-h"} << "  --plan <FILE.xlsx>";
    QTest::newRow("generate --help, the PDF's view") << QStringList{"generate", "--help"}
                                                     << "  --view <student|teacher>";
    QTest::newRow("generate without --pdf") << QStringList{"generate", "--seed", "1", "--view", "teacher"}
                                            << "组号\t成员1\t成员2\t成员3\t成员4\t成员5\t成员6";
}

void TestCommandLine::helpAndVersion()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, shows);
    // Qt names every plugin it loads: without --pdf not even a platform is.
    const Run result = run(arguments, {QStringLiteral("QT_DEBUG_PLUGINS=1")});
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.filter(shows).size() == 1, qPrintable(result.out.join(u'\n')));
    QCOMPARE(result.error, QString());
}

void TestCommandLine::badInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing config") << QStringList{"generate", "--config", "@dir/none.ini"} << 1
                                    << "找不到配置文件“@dir/none.ini”";
    QTest::newRow("folder as config") << QStringList{"check", "--config", "@dir"} << 1 << "“@dir”是文件夹，不是配置文件";
    QTest::newRow("unreadable INI") << QStringList{"generate", "--config", "@dir/broken.ini"} << 1
                                    << "配置文件“@dir/broken.ini”不是可读的 INI 文件";
    QTest::newRow("workbook as config") << QStringList{"generate", "--config", "@dir/座位样式1.xlsx"} << 1
                                        << "配置文件“@dir/座位样式1.xlsx”不是可读的 INI 文件";
    QTest::newRow("bad seed") << QStringList{"generate", "--seed", "12x"} << 1 << "无效的种子“12x”";
    QTest::newRow("negative seed") << QStringList{"generate", "--seed", "-1"} << 1 << "无效的种子“-1”";
    QTest::newRow("seed past 32 bits") << QStringList{"generate", "--seed", "4294967296"} << 1
                                       << "无效的种子“4294967296”";
    QTest::newRow("seed without value") << QStringList{"generate", "--seed"} << 1 << "“--seed”之后缺少值";
    QTest::newRow("unknown style") << QStringList{"generate", "--style", "3", "--export", "@dir/plan"} << 1
                                   << "未知的样式“3”";
    QTest::newRow("missing template") << QStringList{"generate", "--style", "@dir/none.xlsx", "--export", "@dir/plan"}
                                      << 1 << "模板文件“@dir/none.xlsx”不存在";
    QTest::newRow("unwritable target") << QStringList{"generate", "--export", "@dir/no/such/folder/plan.xlsx"} << 2
                                       << "无法导出到“@dir/no/such/folder/plan.xlsx”";
    QTest::newRow("unknown view") << QStringList{"generate", "--pdf", "@dir/plan", "--view", "door"} << 1
                                  << "未知的视角“door”";
    QTest::newRow("--pdf without value") << QStringList{"generate", "--pdf"} << 1 << "“--pdf”之后缺少值";
    QTest::newRow("unwritable PDF") << QStringList{"generate", "--pdf", "@dir/no/such/folder/plan.pdf"} << 2
                                    << "导出失败: 无法写入文件 @dir/no/such/folder/plan.pdf";
    QTest::newRow("unknown command") << QStringList{"generat"} << 1 << "未知的命令“generat”";
    QTest::newRow("unknown option") << QStringList{"generate", "--sed", "1"} << 1 << "未知选项";
    QTest::newRow("extra argument") << QStringList{"check", "now"} << 1 << "多余的参数“now”";
    QTest::newRow("unknown window option") << QStringList{"--fullscreen"} << 1 << "未知的选项“--fullscreen”";
}

void TestCommandLine::badInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFile broken(path(QStringLiteral("broken.ini")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("[Male\nNames=a\n");
    broken.close();

    const bool window = arguments.constFirst().startsWith(u'-');
    const Run result = run(arguments, window ? QStringList{QStringLiteral("QT_QPA_PLATFORM=offscreen")} : QStringList());
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.error.startsWith(QStringLiteral("quorvane: ")), qPrintable(result.error));
    QVERIFY2(result.error.contains(expand({message}).constFirst()), qPrintable(result.error));
    // Bad input stops before generating; a failed export leaves nothing behind.
    if (exitCode == 1)
        QCOMPARE(result.out, QStringList());
    QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral("plan*")}), QStringList());
}

void TestCommandLine::windowWithoutDisplaySaysSoInOneLine()
{
    const Run result = run({});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.error.startsWith(QStringLiteral("无法打开窗口：没有可用的图形显示。")), qPrintable(result.error));
    QCOMPARE(result.error.count(u'\n'), 1);
}

void TestCommandLine::commandsLoadQtGuiOnlyToDrawPages_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("drawsPages");
    QTest::newRow("--version") << QStringList{"--version"} << false;
    QTest::newRow("generate --help") << QStringList{"generate", "--help"} << false;
    QTest::newRow("generate --export") << QStringList{"generate", "--seed", "3", "--export", "@dir/plan"} << false;
    QTest::newRow("check") << QStringList{"check"} << false;
    QTest::newRow("generate --pdf") << QStringList{"generate", "--seed", "3", "--pdf", "@dir/plan"} << true;
}

void TestCommandLine::commandsLoadQtGuiOnlyToDrawPages()
{
#ifndef QUORVANE_GUI_LIBRARY
    QSKIP("the window's part is linked into the executable on this platform");
#endif
    QFETCH(QStringList, arguments);
    QFETCH(bool, drawsPages);
    // The dynamic loader names every library it opens.
    const Run result = run(arguments, {QStringLiteral("LD_DEBUG=files")});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.error.contains(QLatin1String("libQt6Core.so")));
    for (const char *library : {"libquorvane-gui.so", "libQt6Gui.so"})
        QVERIFY2(result.error.contains(QLatin1String(library)) == drawsPages, library);
    QVERIFY(!result.error.contains(QLatin1String("libQt6Widgets.so")) || drawsPages);
}

void TestCommandLine::missingGuiLibrarySaysSoAndCommandsStillRun_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("the window") << QStringList() << 1;
    QTest::newRow("generate --pdf") << QStringList{"generate", "--seed", "3", "--pdf", "@dir/plan"} << 1;
    QTest::newRow("generate --export") << QStringList{"generate", "--seed", "3", "--export", "@dir/plan"} << 0;
    QTest::newRow("--version") << QStringList{"--version"} << 0;
}

void TestCommandLine::missingGuiLibrarySaysSoAndCommandsStillRun()
{
#ifndef QUORVANE_GUI_LIBRARY
    QSKIP("the window's part is linked into the executable on this platform");
#endif
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QVERIFY(QFile::remove(path(QStringLiteral("libquorvane-gui.so"))));
    const Run result = run(arguments, {QStringLiteral("QT_QPA_PLATFORM=offscreen")});
    QCOMPARE(result.exitCode, exitCode);
    if (exitCode == 0) {
        QCOMPARE(result.error, QString());
        return;
    }
    QVERIFY2(result.error.startsWith(QStringLiteral("quorvane: 找不到程序的图形部分 libquorvane-gui.so（查找了 %1/")
                                         .arg(m_dir->path())),
             qPrintable(result.error));
    QCOMPARE(result.error.count(u'\n'), 1);
    QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral("plan*")}), QStringList());
}

void TestCommandLine::solverLoadedOnlyWhenATryMissesARequirement_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("libraryPresent");
    QTest::addColumn<bool>("loadsSolver");
    QTest::newRow("--version") << "--version" << true << false;
    QTest::newRow("every requirement met") << "export" << true << false;
    QTest::newRow("a missed try") << "missed" << true << true;
    QTest::newRow("a missed try, no solver library") << "missed" << false << false;
}

void TestCommandLine::solverLoadedOnlyWhenATryMissesARequirement()
{
#ifndef QUORVANE_GUI_LIBRARY
    QSKIP("the solver is linked into the executable on this platform");
#endif
    QFETCH(QString, command);
    QFETCH(bool, libraryPresent);
    QFETCH(bool, loadsSolver);
    QStringList arguments{QStringLiteral("--version")};
    QStringList expected;
    if (command == QLatin1String("export")) {
        arguments = QStringList{"generate", "--seed", "3", "--export", "@dir/plan"};
    } else if (command == QLatin1String("missed")) {
        // A solvable class and the first seed whose one try misses a requirement.
        std::mt19937 random(11);
        ClassModel model = Solvable::makeHarderClass(random).model;
        ClassModel demo;
        QString style;
        ConfigStore::readRoster(path(QStringLiteral("config.ini")), demo, style);
        const QString missed = path(QStringLiteral("missed.ini"));
        QVERIFY(ConfigStore::writeSettings(missed, model, style, QString()));
        ConfigStore::readGroupRecords(missed, model);
        Engine::GenerationOptions options;
        options.tries = 1;
        options.useSolver = true;
        quint32 seed = 1;
        Engine::GenerationResult result;
        for (; seed < 500; ++seed) {
            options.trySeeds = [seed] { return seed; };
            result = Engine::generate(model, LogSink(), options);
            if (result.solver.outcome != Engine::SolverReport::Outcome::NotRun)
                break;
        }
        QCOMPARE(result.solver.outcome, Engine::SolverReport::Outcome::Solved);
        arguments = QStringList{"generate", "--config", missed, "--seed", QString::number(seed)};
        expected = libraryPresent ? result.lines : QStringList{};
    }
    if (!libraryPresent)
        QVERIFY(QFile::remove(path(QStringLiteral("libquorvane-solver.so"))));
    // The dynamic loader names every library it opens.
    const Run result = run(arguments, {QStringLiteral("LD_DEBUG=files")});
    QCOMPARE(result.exitCode, 0);
    for (const char *library : {"libquorvane-solver.so", "libgecodeint.so"})
        QVERIFY2(result.error.contains(QLatin1String(library)) == loadsSolver, library);
    // Solved by the real program exactly as in process; without its library the try stays.
    if (loadsSolver)
        QCOMPARE(result.out.mid(0, expected.size()), expected);
    else if (command == QLatin1String("missed"))
        QVERIFY(result.out.contains(QStringLiteral("约束求解: 找不到约束求解器 libquorvane-solver.so"
                                                   "（请重新安装 Quorvane），保留最好的一次尝试")));
}

// ---- Generation

void TestCommandLine::seededRunMatchesTheWindow()
{
    const Run result = run({QStringLiteral("generate"), QStringLiteral("--seed"), QStringLiteral("4242")});
    QCOMPARE(result.exitCode, 0);

    TestEnvironment environment;
    environment.writeConfig(m_config + "\n[Update]\nLastCheck=2025-10-08\n");
    auto window = environment.makeWindow();
    window->setSeedSourceForTesting([] { return 4242u; });
    const qsizetype startLines = logLines(window.get()).size();
    window->findChild<QPushButton *>(QStringLiteral("generateButton"))->click();
    QStringList expected = logLines(window.get()).mid(startLines);
    QVERIFY(expected.takeLast().endsWith(QStringLiteral(" - 分组生成完成")));
    // The results table, without the cells past each group's last member.
    for (const QString &row : tableRows(window->findChild<QTableWidget *>(QStringLiteral("resultTable")))) {
        QStringList cells = row.split(u'|');
        while (cells.constLast().isEmpty())
            cells.removeLast();
        expected.append(cells.join(u'\t'));
    }
    const qsizetype groups = window->modelForTesting().generatedGroups.size();
    expected.insert(expected.size() - groups, QStringLiteral("组号\t成员1\t成员2\t成员3\t成员4\t成员5\t成员6"));
    QCOMPARE(result.out, expected);
}

void TestCommandLine::randomRunPrintsItsSeedAndReplays()
{
    const Run random = run({QStringLiteral("generate")});
    QCOMPARE(random.exitCode, 0);
    const QRegularExpressionMatch seed = QRegularExpression(QStringLiteral("^种子: (\\d+)$")).match(random.out.value(0));
    QVERIFY2(seed.hasMatch(), qPrintable(random.out.value(0)));

    const Run replay = run({QStringLiteral("generate"), QStringLiteral("--seed"), seed.captured(1)});
    QCOMPARE(replay.out, random.out.mid(1));
    QCOMPARE(run({QStringLiteral("generate"), QStringLiteral("--quiet")}).out, QStringList());
}

void TestCommandLine::noSolverKeepsTheBestTry()
{
    // The demo class with a pair that must and must not sit together.
    const QString conflicted = path(QStringLiteral("conflict.ini"));
    ClassModel model;
    QString style;
    ConfigStore::readRoster(path(QStringLiteral("config.ini")), model, style);
    ConfigStore::readGroupRecords(path(QStringLiteral("config.ini")), model);
    model.mustTogether.append({1, 2});
    model.mustSeparate.append({1, 2});
    QVERIFY(ConfigStore::writeSettings(conflicted, model, style, QString()));

    const QString solverLine = QStringLiteral("约束求解: 设置中有无法同时满足的要求（见“检查设置”），保留最好的一次尝试");
    const QStringList seeded{QStringLiteral("generate"), QStringLiteral("--config"), conflicted, QStringLiteral("--seed"),
                             QStringLiteral("7")};
    const Run with = run(seeded);
    QCOMPARE(with.exitCode, 0);
    QVERIFY(with.out.contains(solverLine));
    const Run without = run(seeded + QStringList{QStringLiteral("--no-solver")});
    QCOMPARE(without.exitCode, 0);
    QVERIFY(!without.out.join(u'\n').contains(QStringLiteral("约束求解")));
    QCOMPARE(without.out.size(), with.out.size() - 1);
}

void TestCommandLine::exportedPlanReadsBack()
{
    const Run result = run({"generate", "--seed", "5", "--style", "2", "--export", "@dir/plan", "--quiet"});
    QCOMPARE(result.exitCode, 0);
    const Run table = run({"generate", "--seed", "5"});
    const QStringList rows = table.out.mid(table.out.indexOf(QRegularExpression(QStringLiteral("组号\t.*"))) + 1);
    QCOMPARE(rows.size(), 9);

    // Every seat marker of the template holds the name the table shows there.
    const auto cellsOf = [this](const QString &name) {
        const QJsonObject sheet = readBack(path(name)).value(QStringLiteral("sheets")).toArray().at(0).toObject();
        return sheet.value(QStringLiteral("cells")).toObject();
    };
    const auto valueOf = [](const QJsonObject &cells, const QString &cell) {
        return cells.value(cell).toObject().value(QStringLiteral("value")).toString();
    };
    const QJsonObject layoutCells = cellsOf(QStringLiteral("座位样式2.xlsx"));
    const QJsonObject planCells = cellsOf(QStringLiteral("plan.xlsx"));
    int seats = 0;
    for (const QString &cell : layoutCells.keys()) {
        const QString marker = valueOf(layoutCells, cell);
        if (!QRegularExpression(QStringLiteral("^\\d+-\\d+$")).match(marker).hasMatch())
            continue;
        const QStringList groupAndSeat = marker.split(u'-');
        const QString expected = rows.value(groupAndSeat[0].toInt() - 1).split(u'\t').value(groupAndSeat[1].toInt());
        QCOMPARE(valueOf(planCells, cell), expected);
        seats += expected.isEmpty() ? 0 : 1;
    }
    QCOMPARE(seats, 54);
}

void TestCommandLine::librariesAreNeverTakenFromTheWorkingFolder_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("shows");
    QTest::newRow("the version") << QStringList{"--version"} << QStringLiteral("Quorvane ");
    QTest::newRow("a plan drawn as PDF") << QStringList{"generate", "--seed", "3", "--pdf", "@dir/plan.pdf", "--quiet"}
                                         << QString();
}

void TestCommandLine::librariesAreNeverTakenFromTheWorkingFolder()
{
    // Whatever a folder holds, starting the program there must not load it.
    QFETCH(QStringList, arguments);
    QFETCH(QString, shows);
    m_workingFolder = path(QStringLiteral("downloads"));
    QVERIFY(QDir().mkpath(m_workingFolder));
    for (const char *name : {"libQt6Core.so.6", "libQt6Gui.so.6", "libstdc++.so.6", "libz.so.1", "libc.so.6"}) {
        QFile planted(m_workingFolder + u'/' + QLatin1String(name));
        QVERIFY(planted.open(QIODevice::WriteOnly));
        planted.write("not a library");
    }
    const Run result = run(arguments);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.exitCode, 0);
    QVERIFY(shows.isEmpty() || result.out.value(0).startsWith(shows));
}

void TestCommandLine::pdfReadsBack_data()
{
    QTest::addColumn<QStringList>("view");
    QTest::addColumn<bool>("podiumBelow");
    QTest::newRow("学生视角 by default") << QStringList() << false;
    QTest::newRow("教师视角") << QStringList{"--view", "teacher"} << true;
}

void TestCommandLine::pdfReadsBack()
{
    QFETCH(QStringList, view);
    QFETCH(bool, podiumBelow);
    const Run result = run(QStringList{"generate", "--seed", "17", "--pdf", "@dir/plan"} + view);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.out.constLast(), QStringLiteral("座位表已导出为PDF: ") + path(QStringLiteral("plan.pdf")));
    const PdfText text = readPdf(path(QStringLiteral("plan.pdf")));
    QCOMPARE(text.complaints, QString());
    QCOMPARE(text.pages, 1);

    // Every name of the printed table, once; the podium faces whoever holds the page.
    const qsizetype header = result.out.indexOf(QRegularExpression(QStringLiteral("组号\t.*")));
    QStringList names;
    for (const QString &row : result.out.mid(header + 1, 9))
        names += row.split(u'\t').mid(1);
    QCOMPARE(names.size(), 54);
    for (const QString &name : names)
        QVERIFY2(text.plain.count(name) == 1, qPrintable(name));
    const qreal podium = text.words.value(QStringLiteral("讲台")).center().y();
    for (int group = 1; group <= 9; ++group) {
        const QRectF heading = text.words.value(QStringLiteral("第%1组").arg(group));
        QVERIFY(!heading.isNull());
        QCOMPARE(podium > heading.center().y(), podiumBelow);
    }
}

void TestCommandLine::checkReadsTheLastSavedPlan()
{
    const Run none = run({QStringLiteral("check")});
    QCOMPARE(none.exitCode, 0);
    QCOMPARE(none.out, QStringList{QStringLiteral("没有已保存的座位表：%1 中没有“保存”写下的座位表").arg(m_dir->path())});

    // An older plan, the newest one, and a file "保存" would not have written.
    for (const char *name : {"20251001_080000", "20251008_090503", "latest"})
        QCOMPARE(run({"generate", "--seed", "9", "--quiet", "--export", QStringLiteral("@dir/%1_座位表.xlsx").arg(name)})
                     .exitCode,
                 0);
    Run result = run({QStringLiteral("check")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out.value(0), QStringLiteral("座位表: %1/20251008_090503_座位表.xlsx").arg(m_dir->path()));
    QVERIFY(result.out.contains(QStringLiteral("组号\t人数\t男生\t女生\t组长\t外宿生")));
    QVERIFY(result.out.contains(QStringLiteral("总人数: 54 (男生: 24, 女生: 30)")));
    QVERIFY(result.out.contains(QStringLiteral("开始检查要求...")));

    // A name the roster no longer has is left out and named.
    QByteArray renamed = m_config;
    renamed.replace(QStringLiteral("张宇航").toUtf8(), QStringLiteral("张新").toUtf8());
    QFile config(path(QStringLiteral("renamed.ini")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(renamed);
    config.close();
    result = run({"check", "--config", "@dir/renamed.ini", "--plan", "@dir/latest_座位表.xlsx"});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.contains(QStringLiteral("不在名单中的姓名（未计入）: 张宇航")));
    QVERIFY(result.out.contains(QStringLiteral("总人数: 53 (男生: 23, 女生: 30)")));
}

void TestCommandLine::generationsAreRecordedInTheHistory()
{
    QCOMPARE(run({"generate", "--seed", "5", "--export", "@dir/plan", "--quiet"}).exitCode, 0);
    QCOMPARE(run({"generate", "--seed", "9", "--quiet"}).exitCode, 0);
    // A failed export still records the run, without a file.
    QVERIFY(run({"generate", "--seed", "11", "--export", "@dir/config.ini/plan", "--quiet"}).exitCode != 0);
    const QList<ArrangementRecord> records = ArrangementHistory::load(path(QStringLiteral("history.json"))).records;
    QCOMPARE(records.size(), 3);
    QCOMPARE(records.at(2).seed, 11u);
    QVERIFY(records.at(2).exportedPath.isEmpty());
    QCOMPARE(records.at(0).seed, 5u);
    QCOMPARE(records.at(0).exportedPath, path(QStringLiteral("plan.xlsx")));
    QCOMPARE(records.at(0).groups.size(), 9);
    QCOMPARE(records.at(1).seed, 9u);
    QVERIFY(records.at(1).exportedPath.isEmpty());
}

void TestCommandLine::recordedSeedRepeatsItsArrangement_data()
{
    QTest::addColumn<bool>("avoid");
    QTest::newRow("switch off") << false;
    // The seed's record says what its run kept apart (here nothing), not
    // the arrangement in use when it is repeated.
    QTest::newRow("switch on") << true;
}

void TestCommandLine::recordedSeedRepeatsItsArrangement()
{
    QFETCH(bool, avoid);
    if (avoid) {
        m_config += "\n[Generation]\nAvoidLastGroupmates=true\n";
        QFile config(path(QStringLiteral("config.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
        config.write(m_config);
    }
    const Run first = run({QStringLiteral("generate")});
    const QRegularExpressionMatch seed = QRegularExpression(QStringLiteral("^种子: (\\d+)$")).match(first.out.value(0));
    QVERIFY2(seed.hasMatch(), qPrintable(first.out.value(0)));
    QCOMPARE(first.out.contains(QStringLiteral("与上次同组的学生对: 0 → 0")), avoid);
    QCOMPARE(run({QStringLiteral("generate"), QStringLiteral("--quiet")}).exitCode, 0);

    const Run replay = run({QStringLiteral("generate"), QStringLiteral("--seed"), seed.captured(1)});
    QCOMPARE(replay.out, first.out.mid(1));
    const QList<ArrangementRecord> records = ArrangementHistory::load(path(QStringLiteral("history.json"))).records;
    QCOMPARE(records.size(), 3);
    QCOMPARE(records.at(0).seed, seed.captured(1).toUInt());
    QCOMPARE(records.at(2).seed, records.at(0).seed);
    QCOMPARE(records.at(2).groups, records.at(0).groups);
}

QTEST_MAIN(TestCommandLine)
#include "test_commandline.moc"
