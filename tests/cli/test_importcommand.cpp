// `quorvane import` as a process: what it prints, what it writes, its exit
// codes, and that its write is the one "导入" then "保存" make in the window.
// Also the first-run hint of the commands in an installed tree.
#include "common/modaldriver.h"
#include "common/testenvironment.h"

#include "core/storage/configstore.h"
#include "ui/settings/settingsdialog.h"
#include "ui/window/mainwindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kFixtures = QStringLiteral(QUORVANE_ROSTER_FIXTURES);

// 李娜 (4) is pinned and a 必须同组 requirement names 1 and 4; 钱七 leaves.
const QByteArray kClass = "[Male]\nNames=张伟,赵磊,钱七\n[Female]\nNames=李娜,王芳\n[Leaders]\nNames=钱七\n"
                          "[Style]\nCurrent=样式2\n[FixedPositions]\nList=\"4,2,1\", \"3,1,1\"\n"
                          "[Constraints]\nMustTogether=\"1,4\"\n[GroupConfig_0]\nenabled=true\ntotal=5\nmales=2\nfemales=3\n";

struct Run
{
    int exitCode = -1;
    QStringList out;
    QString error;
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Every key of an INI file with its value, for comparing two writes.
QStringList settingsOf(const QString &path)
{
    const QSettings settings(path, QSettings::IniFormat);
    QStringList entries;
    for (const QString &key : settings.allKeys()) {
        const QVariant value = settings.value(key);
        const QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(u';') : value.toString();
        if (key != QLatin1String("Update/LastCheck"))
            entries.append(key + u'=' + text);
    }
    return entries;
}

} // namespace

class TestImportCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void dryRunPrintsThePreviewAndWritesNothing();
    void importReplacesTheRosterAsImportThenSave_data();
    void importReplacesTheRosterAsImportThenSave();
    void sheetChoosesTheWorksheet();
    void refusedFileExitsOne_data();
    void refusedFileExitsOne();
    void unwritableConfigExitsTwo();
    void firstRunHintNamesConfigAndSettings();

private:
    Run run(const QStringList &arguments, const QString &program = QString()) const;
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestImportCommand::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::copy(QStringLiteral(QUORVANE_EXECUTABLE), path(QStringLiteral("quorvane"))));
}

Run TestImportCommand::run(const QStringList &arguments, const QString &program) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_CONFIG_HOME"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("HOME"), m_dir->filePath(QStringLiteral("home")));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program.isEmpty() ? path(QStringLiteral("quorvane")) : program, arguments);
    Run result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    result.out = out.isEmpty() ? QStringList() : out.chopped(1).split(u'\n');
    result.error = QString::fromUtf8(process.readAllStandardError());
    return result;
}

void TestImportCommand::dryRunPrintsThePreviewAndWritesNothing()
{
    writeFile(path(QStringLiteral("config.ini")), kClass);
    const Run result = run({QStringLiteral("import"), kFixtures + QStringLiteral("/legend-below.ods"), QStringLiteral("--dry-run")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.out,
             (QStringList{QStringLiteral("文件: %1（工作表“legend-below”，第 1 个，共 1 个）")
                              .arg(QDir::toNativeSeparators(kFixtures + QStringLiteral("/legend-below.ods"))),
                          "将导入男生 2 名、女生 1 名，其中组长 0 名、外宿生 0 名。文件中没有组长和外宿生两栏，这两份名单不变。",
                          "性别代码：1 为男、2 为女（第 5 行的说明“注：1为男，2为女”）",
                          "编号\t姓名\t性别\t组长\t外宿生\t学号\t行号",
                          "1\t张伟\t男\t\t\t2023001\t3",
                          "2\t赵磊\t男\t\t\t2023003\t4",
                          "3\t李娜\t女\t\t\t2023002\t2",
                          "问题 (1 处):",
                          "第 5 行: 性别代码的说明，未导入",
                          QStringLiteral("只是预览（--dry-run），%1 未改动").arg(QDir::toNativeSeparators(path("config.ini")))}));
    QCOMPARE(readFile(path(QStringLiteral("config.ini"))), kClass);
}

void TestImportCommand::importReplacesTheRosterAsImportThenSave_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("legend above, lodging column") << "legend-above.xls";
    QTest::newRow("two-up with leaders") << "two-up.ods";
    QTest::newRow("hidden rows") << "hidden-rows.xlsx";
}

// The command's write and the window's, from the same class and file, hold
// the same keys and values.
void TestImportCommand::importReplacesTheRosterAsImportThenSave()
{
    QFETCH(QString, file);
    const QString list = kFixtures + u'/' + file;
    const QString commandConfig = path(QStringLiteral("command/config.ini"));
    writeFile(commandConfig, kClass);
    const Run result = run({QStringLiteral("import"), list, QStringLiteral("--config"), commandConfig});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.error, QString());
    QVERIFY(result.out.constLast().startsWith(QStringLiteral("名单已写入 ")));

    TestEnvironment env;
    env.writeConfig(kClass);
    ConfigStore::writeLastUpdateCheck(env.configPath(), QDate::currentDate());
    {
        const std::unique_ptr<MainWindow> window = env.makeWindow();
        ModalDriver settings;
        settings.handle([&](QWidget *modal) {
            ModalDriver chooser;
            ModalDriver preview;
            chooser.handle([&](QWidget *chooserModal) {
                chooseInFileDialog(qobject_cast<QFileDialog *>(chooserModal), list);
                preview.handle([](QWidget *next) {
                    next->findChild<QPushButton *>(QStringLiteral("importButton"))->click();
                });
            });
            modal->findChild<QPushButton *>(QStringLiteral("importRosterButton"))->click();
            modal->findChild<QPushButton *>(QStringLiteral("saveButton"))->click();
        });
        window->findChild<QAction *>(QStringLiteral("settingsAction"))->trigger();
        QCOMPARE(settings.count(), 1);
        // Compared before the window closes: its shutdown writes the requirements it dropped.
        QCOMPARE(settingsOf(commandConfig), settingsOf(env.configPath()));
    }
    const QSettings written(commandConfig, QSettings::IniFormat);
    QCOMPARE(written.value(QStringLiteral("Style/Current")).toString(), QStringLiteral("样式2"));
    QCOMPARE(written.value(QStringLiteral("GroupConfig_0/total")).toInt(), 5);
}

void TestImportCommand::sheetChoosesTheWorksheet()
{
    const QString config = path(QStringLiteral("sheets.ini"));
    const QString list = kFixtures + QStringLiteral("/two-sheets.xls");
    const Run first = run({QStringLiteral("import"), list, QStringLiteral("--config"), config});
    QCOMPARE(first.exitCode, 1);
    QVERIFY2(first.error.contains(QStringLiteral("文件中没有性别列")), qPrintable(first.error));
    QVERIFY(!QFile::exists(config));

    const Run second = run({QStringLiteral("import"), list, QStringLiteral("--config"), config, QStringLiteral("--sheet"), QStringLiteral("2")});
    QCOMPARE(second.exitCode, 0);
    const QSettings written(config, QSettings::IniFormat);
    QCOMPARE(written.value(QStringLiteral("Male/Names")).toStringList(), (QStringList{"张伟", "赵磊"}));
    QCOMPARE(written.value(QStringLiteral("Female/Names")).toStringList(), QStringList{"王芳"});
    QCOMPARE(written.value(QStringLiteral("Leaders/Names")).toStringList(), QStringList{"张伟"});
    QCOMPARE(written.value(QStringLiteral("Boarders/Names")).toStringList(), QStringList{"王芳"});

    const Run third = run({QStringLiteral("import"), list, QStringLiteral("--sheet"), QStringLiteral("3"), QStringLiteral("--dry-run")});
    QCOMPARE(third.exitCode, 1);
    QVERIFY2(third.error.contains(QStringLiteral("只有 2 个工作表")), qPrintable(third.error));
}

void TestImportCommand::refusedFileExitsOne_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("PDF") << QByteArray("%PDF-1.4\n") << "是PDF 文档，不是名单表格";
    QTest::newRow("codes nobody explains") << QByteArray("姓名,性别\n甲,1\n乙,2\n") << "没有可以导入的学生";
}

void TestImportCommand::refusedFileExitsOne()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    writeFile(path(QStringLiteral("list.xls")), bytes);
    writeFile(path(QStringLiteral("config.ini")), kClass);
    const Run result = run({QStringLiteral("import"), path(QStringLiteral("list.xls")), QStringLiteral("--config"),
                            path(QStringLiteral("config.ini"))});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.error.contains(message), qPrintable(result.error));
    QCOMPARE(readFile(path(QStringLiteral("config.ini"))), kClass);
}

void TestImportCommand::unwritableConfigExitsTwo()
{
    writeFile(path(QStringLiteral("plainfile")), "not a folder");
    const Run result = run({QStringLiteral("import"), kFixtures + QStringLiteral("/header-wei.xlsx"), QStringLiteral("--config"),
                            path(QStringLiteral("plainfile/config.ini"))});
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.error.contains(QStringLiteral("名单无法写入配置文件")), qPrintable(result.error));
}

// An installed tree (<prefix>/bin, <prefix>/share/quorvane) with an empty home.
void TestImportCommand::firstRunHintNamesConfigAndSettings()
{
    const QString prefix = path(QStringLiteral("prefix"));
    QVERIFY(QDir().mkpath(prefix + QStringLiteral("/bin")));
    writeFile(prefix + QStringLiteral("/share/quorvane/examples/config.ini"), demoConfigText());
    const QString program = prefix + QStringLiteral("/bin/quorvane");
    QVERIFY(QFile::copy(path(QStringLiteral("quorvane")), program));
    const Run result = run({QStringLiteral("generate")}, program);
    QCOMPARE(result.exitCode, 1);
    const QStringList lines = result.error.trimmed().split(u'\n');
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines.at(0).contains(QStringLiteral("找不到配置文件")), qPrintable(lines.at(0)));
    QCOMPARE(lines.at(1), QStringLiteral("quorvane: 还没有班级：用 --config 指定班级的配置文件，或打开窗口在“设置”中录入班级"
                                         "（quorvane import 名单文件 也可导入名单；示例班级 %1 可复制为 %2）")
                              .arg(QDir::toNativeSeparators(prefix + QStringLiteral("/share/quorvane/examples/config.ini")),
                                   QDir::toNativeSeparators(path(QStringLiteral("home/.config/Quorvane/config.ini")))));
    // The demo class it names works.
    const Run demo = run({QStringLiteral("generate"), QStringLiteral("--seed"), QStringLiteral("1"), QStringLiteral("--config"),
                          prefix + QStringLiteral("/share/quorvane/examples/config.ini"), QStringLiteral("--quiet")},
                         program);
    QCOMPARE(demo.exitCode, 0);
}

QTEST_MAIN(TestImportCommand)
#include "test_importcommand.moc"
