// The one way files are written: whole or not at all, and a failure says why.
#include "core/storage/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

class TestAtomicFile : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void writesAndReplaces_data();
    void writesAndReplaces();
    void aFailureLeavesTheTargetAsItWas_data();
    void aFailureLeavesTheTargetAsItWas();
    void aMissingFolderIsNotMade();
    void followsALinkToItsFile();
    void keepsTheTargetsPermissions();
    void refusesAFolderAsTarget();
    void aReadOnlyFolderSaysWhy();

private:
    QStringList entries() const { return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    static QByteArray read(const QString &file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<unreadable>");
    }
    static void put(const QString &file, const QByteArray &bytes)
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(bytes), bytes.size());
    }

    QTemporaryDir m_dir;
};

void TestAtomicFile::cleanup()
{
    AtomicFile::setTestFault({});
    for (const QString &name : entries())
        QFile::remove(path(name));
}

void TestAtomicFile::writesAndReplaces_data()
{
    QTest::addColumn<QByteArray>("before"); // empty: no file
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("new file") << QByteArray() << QByteArray("[Male]\nNames=张三\n");
    QTest::newRow("replaces a longer file") << QByteArray(5000, 'x') << QByteArray("short");
    QTest::newRow("replaces a shorter file") << QByteArray("a") << QByteArray(300000, 'y');
    QTest::newRow("empty content") << QByteArray("old") << QByteArray();
    QTest::newRow("binary") << QByteArray("old") << QByteArray("\0\x01\xff\r\n", 5);
}

void TestAtomicFile::writesAndReplaces()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, content);
    const QString target = path(QStringLiteral("config.ini"));
    if (!before.isEmpty())
        put(target, before);
    QCOMPARE(AtomicFile::write(target, content), QString());
    QCOMPARE(read(target), content);
    QCOMPARE(entries(), QStringList{QStringLiteral("config.ini")}); // no temporary file left
}

void TestAtomicFile::aFailureLeavesTheTargetAsItWas_data()
{
    QTest::addColumn<qint64>("freeSpace");
    QTest::addColumn<bool>("failSync");
    QTest::addColumn<bool>("failRename");
    QTest::addColumn<QString>("cause");
    QTest::newRow("disk full") << qint64(0) << false << false << QStringLiteral("磁盘空间不足");
    QTest::newRow("full after one byte") << qint64(1) << false << false << QStringLiteral("磁盘空间不足");
    QTest::newRow("full one byte short") << qint64(9999) << false << false << QStringLiteral("磁盘空间不足");
    QTest::newRow("flush to the disk fails") << qint64(-1) << true << false << QStringLiteral("无法把文件写入磁盘");
    QTest::newRow("rename fails") << qint64(-1) << false << true << QStringLiteral("无法替换原文件");
}

void TestAtomicFile::aFailureLeavesTheTargetAsItWas()
{
    QFETCH(qint64, freeSpace);
    QFETCH(bool, failSync);
    QFETCH(bool, failRename);
    QFETCH(QString, cause);
    const QByteArray content(10000, 'n');
    for (const QByteArray &before : {QByteArray("the class as it was"), QByteArray()}) {
        const QString target = path(QStringLiteral("history.json"));
        QFile::remove(target);
        if (!before.isEmpty())
            put(target, before);
        AtomicFile::setTestFault({freeSpace, failSync, failRename});
        QCOMPARE(AtomicFile::write(target, content), cause);
        QCOMPARE(QFile::exists(target), !before.isEmpty());
        if (!before.isEmpty())
            QCOMPARE(read(target), before);
        QCOMPARE(entries(), before.isEmpty() ? QStringList() : QStringList{QStringLiteral("history.json")});
    }
}

void TestAtomicFile::aMissingFolderIsNotMade()
{
    QCOMPARE(AtomicFile::write(path(QStringLiteral("a/b/plan.pdf")), "x"), QStringLiteral("文件夹不存在"));
    QCOMPARE(entries(), QStringList());
}

void TestAtomicFile::followsALinkToItsFile()
{
    const QString real = path(QStringLiteral("real.ini"));
    const QString link = path(QStringLiteral("link.ini"));
    put(real, "old");
    QVERIFY(QFile::link(real, link));
    QCOMPARE(AtomicFile::write(link, "new"), QString());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(read(real), QByteArray("new"));
}

void TestAtomicFile::keepsTheTargetsPermissions()
{
#ifdef Q_OS_WIN
    QSKIP("permissions follow the folder on Windows");
#endif
    const QString target = path(QStringLiteral("config.ini"));
    put(target, "old");
    const QFile::Permissions privateFile = QFile::ReadOwner | QFile::WriteOwner;
    QVERIFY(QFile::setPermissions(target, privateFile));
    QCOMPARE(AtomicFile::write(target, "new"), QString());
    QCOMPARE(QFile::permissions(target) & ~(QFile::ReadUser | QFile::WriteUser), privateFile);
}

void TestAtomicFile::refusesAFolderAsTarget()
{
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("plan.pdf")));
    QCOMPARE(AtomicFile::write(path(QStringLiteral("plan.pdf")), "x"), QStringLiteral("目标是文件夹"));
    QVERIFY(QFileInfo(path(QStringLiteral("plan.pdf"))).isDir());
    QDir(m_dir.path()).rmdir(QStringLiteral("plan.pdf"));
}

void TestAtomicFile::aReadOnlyFolderSaysWhy()
{
#ifndef Q_OS_WIN
    if (geteuid() == 0)
        QSKIP("root writes into any folder");
#endif
    const QString folder = path(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const QString result = AtomicFile::write(folder + QStringLiteral("/config.ini"), "x");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(result, QStringLiteral("没有写入权限"));
    QDir(folder).removeRecursively();
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "test_atomicfile.moc"
