// config.ini in encodings other than UTF-8: converted or kept, never lost.
#include "core/platform/clock.h"
#include "core/storage/configencoding.h"
#include "core/storage/configstore.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using ConfigEncoding::Outcome;

Q_DECLARE_METATYPE(ConfigEncoding::Outcome)

namespace {

const QString kText = QStringLiteral("[Male]\nNames=张三, 李四\n[Female]\nNames=王芳\n[Leaders]\nNames=王芳\n");
const QString kBackup = QStringLiteral("config.ini.gb18030-20250304_070809.bak");
const QString kUndecodable = QStringLiteral("config.ini.undecodable-20250304_070809.bak");

QByteArray gb18030(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

} // namespace

class TestConfigEncoding : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void gb18030ConfigLosesNoNames_data();
    void gb18030ConfigLosesNoNames();
    void backupsAreNeverOverwritten();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("config.ini")); }
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestConfigEncoding::init()
{
    setClockForTesting([] { return QDateTime(QDate(2025, 3, 4), QTime(7, 8, 9)); });
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestConfigEncoding::cleanup()
{
    setClockForTesting({});
}

void TestConfigEncoding::write(const QString &name, const QByteArray &bytes) const
{
    QFile file(m_dir->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestConfigEncoding::read(const QString &name) const
{
    QFile file(m_dir->filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestConfigEncoding::gb18030ConfigLosesNoNames_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QByteArray>("after");     // the file once checked
    QTest::addColumn<QStringList>("boys");     // as then read; empty: not checked
    QTest::addColumn<QString>("backup");       // empty: none

    const QStringList boys{QStringLiteral("张三"), QStringLiteral("李四")};
    const QByteArray utf8 = kText.toUtf8();
    QTest::newRow("UTF-8 untouched") << utf8 << Outcome::Utf8 << utf8 << boys << QString();
    QTest::newRow("byte-order mark untouched")
        << "\xEF\xBB\xBF" + utf8 << Outcome::Utf8 << "\xEF\xBB\xBF" + utf8 << boys << QString();
    QTest::newRow("GB18030 converted") << gb18030(kText) << Outcome::Converted << utf8 << boys << kBackup;
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QTest::newRow("UTF-16 converted") << QByteArray(utf16.encode(kText)) << Outcome::Converted << utf8 << boys
                                      << QStringLiteral("config.ini.utf-16le-20250304_070809.bak");
    // 0xFF starts no sequence in either encoding.
    const QByteArray neither = "[Male]\nNames=\xFF\xFE, b\n";
    QTest::newRow("neither kept as it is") << neither << Outcome::Undecodable << neither << QStringList() << kUndecodable;
}

void TestConfigEncoding::gb18030ConfigLosesNoNames()
{
    QFETCH(QByteArray, original);
    QFETCH(Outcome, outcome);
    QFETCH(QByteArray, after);
    write(QStringLiteral("config.ini"), original);

    const ConfigEncoding::Result result = ConfigEncoding::ensureUtf8(path());
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(read(QStringLiteral("config.ini")), after);
    QFETCH(QString, backup);
    if (backup.isEmpty()) {
        QVERIFY(result.backupPath.isEmpty());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"config.ini"});
        QVERIFY(ConfigEncoding::logLine(result, path()).isEmpty());
    } else {
        QCOMPARE(result.backupPath, m_dir->filePath(backup));
        QCOMPARE(read(backup), original);
        QVERIFY(ConfigEncoding::logLine(result, path()).contains(QDir::toNativeSeparators(result.backupPath)));
    }

    ClassModel model;
    QString style;
    ConfigStore::readRoster(path(), model, style);
    QFETCH(QStringList, boys);
    if (!boys.isEmpty())
        QCOMPARE(model.maleNames, boys);
    // Checked again, the file is what it now is: nothing more to do.
    if (outcome == Outcome::Converted)
        QCOMPARE(ConfigEncoding::ensureUtf8(path()).outcome, Outcome::Utf8);
}

void TestConfigEncoding::backupsAreNeverOverwritten()
{
    write(kBackup, "older backup");
    write(QStringLiteral("config.ini"), gb18030(kText));
    const ConfigEncoding::Result result = ConfigEncoding::ensureUtf8(path());
    QCOMPARE(result.outcome, Outcome::Converted);
    QCOMPARE(result.backupPath, m_dir->filePath(QStringLiteral("config.ini.gb18030-20250304_070809-2.bak")));
    QCOMPARE(read(kBackup), QByteArray("older backup"));
    QCOMPARE(read(QFileInfo(result.backupPath).fileName()), gb18030(kText));
}

QTEST_GUILESS_MAIN(TestConfigEncoding)
#include "test_configencoding.moc"
