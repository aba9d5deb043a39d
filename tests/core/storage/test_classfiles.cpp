// "导出班级..." and "导入班级..." in the window.
#include "ui/window/mainwindow.h"
#include "common/modaldriver.h"
#include "common/testenvironment.h"
#include "core/storage/classexchange.h"
#include "core/platform/clock.h"
#include "core/storage/configstore.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSettings>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTest>

class TestClassFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void exportWritesTheClassWithoutTheUpdateDate();
    void importReplacesTheClass();
    void importAnsweredNoChangesNothing();
    void importRefusesWhatIsNotAClass_data();
    void importRefusesWhatIsNotAClass();
    void importClampsLikeConfig();
    void importDecodesGb18030FromACopy();

private:
    // Triggers the action, answers its file dialog with `path`, then hands
    // the next modal widget (if any) to `next`.
    ModalDriver::Seen runWithFile(const char *action, const QString &path,
                                  const std::function<void(QWidget *)> &next = {});
    QString file(const QString &name) const { return m_env->dir() + u'/' + name; }
    void writeFile(const QString &name, const QByteArray &bytes) const;

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MainWindow> m_window;
};

namespace {
const QByteArray kOtherClass = "[Male]\nNames=甲, 乙\n[Female]\nNames=丙\n[Leaders]\nNames=甲\n"
                               "[Style]\nCurrent=样式2\n[GroupConfig_0]\nenabled=true\ntotal=3\nmales=2\nfemales=1\n"
                               "[Constraints]\nMustSeparate=\"1,2\"\n[FixedPositions]\nList=\"3,1,1\"\n";
// Answers a message box with one of its buttons.
std::function<void(QWidget *)> press(QMessageBox::StandardButton button)
{
    return [button](QWidget *modal) { qobject_cast<QMessageBox *>(modal)->button(button)->click(); };
}
} // namespace

void TestClassFiles::init()
{
    setClockForTesting([] { return QDateTime(QDate(2025, 9, 1), QTime(7, 30, 0)); });
    m_env = std::make_unique<TestEnvironment>();
    m_env->writeConfig(demoConfigText());
    m_window = m_env->makeWindow();
}

void TestClassFiles::cleanup()
{
    m_window.reset();
    m_env.reset();
    setClockForTesting({});
}

void TestClassFiles::writeFile(const QString &name, const QByteArray &bytes) const
{
    QFile out(file(name));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

ModalDriver::Seen TestClassFiles::runWithFile(const char *action, const QString &path,
                                              const std::function<void(QWidget *)> &next)
{
    ModalDriver chooser;
    ModalDriver after;
    chooser.handle([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        if (next)
            after.handle(next);
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    m_window->findChild<QAction *>(QLatin1String(action))->trigger();
    return after.last();
}

void TestClassFiles::exportWritesTheClassWithoutTheUpdateDate()
{
    m_window->modelForTesting().mustTogether.append({5, 6});
    // Group-tab settings travel with the class.
    m_window->modelForTesting().generationTries = 7;
    m_window->modelForTesting().avoidLastGroupmates = true;
    runWithFile("exportClassAction", file(QStringLiteral("三班")));
    const QString written = file(QStringLiteral("三班.ini"));
    QCOMPARE(logLines(m_window.get()).last(),
             QStringLiteral("07:30:00 - 班级已导出到: ") + QDir::toNativeSeparators(written));

    const QSettings saved(written, QSettings::IniFormat);
    QVERIFY(!saved.contains(QStringLiteral("Update/LastCheck")));
    ClassModel read;
    QString style;
    ConfigStore::readRoster(written, read, style);
    ConfigStore::readGroupRecords(written, read);
    const ClassModel &model = m_window->modelForTesting();
    QCOMPARE(read.maleNames, model.maleNames);
    QCOMPARE(read.fixedPositions.keys(), model.fixedPositions.keys());
    QCOMPARE(read.mustTogether, model.mustTogether);
    QCOMPARE(read.generationTries, 7);
    QVERIFY(read.avoidLastGroupmates);

    // Exporting over an older file leaves nothing of it behind.
    writeFile(QStringLiteral("old.ini"), "[Stale]\nKey=1\n");
    QCOMPARE(writeClassFile(file(QStringLiteral("old.ini")), model, style, QString()), QString());
    QVERIFY(!QSettings(file(QStringLiteral("old.ini")), QSettings::IniFormat).contains(QStringLiteral("Stale/Key")));
}

void TestClassFiles::importReplacesTheClass()
{
    writeFile(QStringLiteral("other.ini"), kOtherClass);
    m_window->modelForTesting().generatedGroups = {{1, 2}};
    const QByteArray lastCheck = QSettings(m_env->configPath(), QSettings::IniFormat).value("Update/LastCheck").toByteArray();
    const ModalDriver::Seen question = runWithFile("importClassAction", file(QStringLiteral("other.ini")), press(QMessageBox::Yes));
    QCOMPARE(question.title, QStringLiteral("确认"));
    QCOMPARE(question.text, QStringLiteral("导入将替换当前的名单、分组设置、要求和固定位置。是否继续?"));

    const ClassModel &model = m_window->modelForTesting();
    QCOMPARE(model.nameToId.value(QStringLiteral("丙")), 3);
    QCOMPARE(model.mustSeparate, QList<Constraint>{Constraint({1, 2})});
    QVERIFY(model.generatedGroups.isEmpty());
    QCOMPARE(m_window->findChild<QTableWidget *>(QStringLiteral("resultTable"))->rowCount(), 0);
    QCOMPARE(m_window->findChild<QTableWidget *>(QStringLiteral("constraintTable"))->rowCount(), 1);
    QCOMPARE(m_window->currentStyleForTesting(), QStringLiteral("样式2"));
    QCOMPARE(logLines(m_window.get()).last(), QStringLiteral("07:30:00 - 已从 %1 导入班级: 2 名男生, 1 名女生")
                                                  .arg(QDir::toNativeSeparators(file(QStringLiteral("other.ini")))));

    // config.ini now holds the new class and still its own update date.
    ClassModel saved;
    ConfigStore::readGroupRecords(m_env->configPath(), saved);
    QCOMPARE(saved.fixedPositions.value(3).group, 1);
    QCOMPARE(QSettings(m_env->configPath(), QSettings::IniFormat).value("Update/LastCheck").toByteArray(), lastCheck);
}

void TestClassFiles::importAnsweredNoChangesNothing()
{
    writeFile(QStringLiteral("other.ini"), kOtherClass);
    const QByteArray config = m_env->readConfig();
    const QStringList log = logLines(m_window.get());
    runWithFile("importClassAction", file(QStringLiteral("other.ini")),
                press(QMessageBox::No));
    QCOMPARE(m_window->modelForTesting().personCount(), 54);
    QCOMPARE(m_env->readConfig(), config);
    QCOMPARE(logLines(m_window.get()), log);
}

void TestClassFiles::importRefusesWhatIsNotAClass_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a workbook") << QByteArray("PK\x03\x04\0\0binary", 12) << "不是可读的 INI 文件";
    QTest::newRow("another program's settings") << QByteArray("[Window]\nWidth=3\n") << "中没有班级数据";
    QTest::newRow("only an update date") << QByteArray("[Update]\nLastCheck=2025-01-01\n") << "中没有班级数据";
    QTest::newRow("empty") << QByteArray() << "中没有班级数据";
}

void TestClassFiles::importRefusesWhatIsNotAClass()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    writeFile(QStringLiteral("input.ini"), bytes);
    const QByteArray config = m_env->readConfig();
    const ModalDriver::Seen box = runWithFile("importClassAction", file(QStringLiteral("input.ini")), press(QMessageBox::Ok));
    QCOMPARE(box.title, QStringLiteral("错误"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QVERIFY2(box.text.startsWith(QStringLiteral("无法导入班级: ")) && box.text.contains(reason), qPrintable(box.text));
    QCOMPARE(m_window->modelForTesting().personCount(), 54);
    QCOMPARE(m_env->readConfig(), config);
}

void TestClassFiles::importClampsLikeConfig()
{
    writeFile(QStringLiteral("hostile.ini"), "[Male]\nNames=甲\n[GroupConfig_0]\ntotal=99999\n");
    runWithFile("importClassAction", file(QStringLiteral("hostile.ini")),
                press(QMessageBox::Yes));
    QCOMPARE(m_window->modelForTesting().groupConfigs.at(0).total, ConfigStore::kMaxGroupTotal);
}

void TestClassFiles::importDecodesGb18030FromACopy()
{
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder.encode(QString::fromUtf8(kOtherClass));
    writeFile(QStringLiteral("gbk.ini"), bytes);
    runWithFile("importClassAction", file(QStringLiteral("gbk.ini")), press(QMessageBox::Yes));
    QCOMPARE(m_window->modelForTesting().maleNames, QStringList({"甲", "乙"}));
    QFile original(file(QStringLiteral("gbk.ini")));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), bytes);
    QCOMPARE(QDir(m_env->dir()).entryList({QStringLiteral("gbk.ini*")}), QStringList{"gbk.ini"});
}

QTEST_MAIN(TestClassFiles)
#include "test_classfiles.moc"
