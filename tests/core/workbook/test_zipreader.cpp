// The zip reader on archives written by other programs (libzip, Python's
// zipfile) and on damaged ones: what it reads is what was written, or it says
// it cannot.
#include "common/zipfixture.h"

#include "core/workbook/xlsx/zipreader.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Xlsx;

namespace {

const ZipEntries kParts{{"[Content_Types].xml", QByteArray("<Types/>")},
                        {"xl/", QByteArray()},
                        {"xl/worksheets/sheet1.xml", QByteArray("<worksheet>") + QByteArray(5000, 'x') + "</worksheet>"},
                        {"xl/名字.xml", QByteArray("甲乙丙")}};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every entry, inflated; empty when the directory or an entry is not read.
ZipEntries readAll(const QByteArray &bytes)
{
    QList<ZipEntry> entries;
    if (readZipDirectory(bytes, 100, entries) != ZipDirectory::Read)
        return {};
    ZipEntries read;
    for (const ZipEntry &entry : entries) {
        QByteArray data;
        if (readZipEntry(bytes, entry, 1 << 20, data) != ZipRead::Complete)
            return {};
        read.append({QString::fromUtf8(entry.name), data});
    }
    return read;
}

} // namespace

class TestZipReader : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatOthersWrote_data();
    void readsWhatOthersWrote();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
    void damagedArchiveNeverReadsWrongBytes();
};

void TestZipReader::readsWhatOthersWrote_data()
{
    QTest::addColumn<QString>("python");
    QTest::newRow("libzip") << QString();
    // zipfile's own choices: stored or deflated, zip64 headers, a comment,
    // data descriptors after the data (a stream that cannot seek).
    QTest::newRow("stored") << "z = zipfile.ZipFile(out, 'w', zipfile.ZIP_STORED)";
    // Zip64 in every header and a zip64 end record, as for archives past 4 GiB.
    QTest::newRow("deflated, zip64 everywhere")
        << "z = zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED)\nopen_ = lambda n: z.open(n, 'w', force_zip64=True)\n"
           "zip64 = True";
    QTest::newRow("archive comment") << "z = zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED)\nz.comment = b'PK\\x05\\x06' * 9";
    QTest::newRow("data descriptors")
        << "class Unseekable(io.RawIOBase):\n"
           "    def __init__(s, f): s.f = f\n"
           "    def writable(s): return True\n"
           "    def write(s, b): return s.f.write(b)\n"
           "raw = open(out, 'wb')\n"
           "z = zipfile.ZipFile(Unseekable(raw), 'w', zipfile.ZIP_DEFLATED)";
}

void TestZipReader::readsWhatOthersWrote()
{
    QFETCH(QString, python);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.zip"));
    if (python.isEmpty()) {
        QVERIFY(writeZip(path, kParts));
    } else {
        QString script = QStringLiteral("import io, sys, zipfile\nout = sys.argv[1]\nopen_ = raw = zip64 = None\n") + python
            + QStringLiteral("\nfor name, data in [%1]:\n"
                             "    if open_ and not name.endswith('/'):\n"
                             "        with open_(name) as f: f.write(data)\n"
                             "    else: z.writestr(name, data)\n"
                             "if zip64: zipfile.ZIP64_LIMIT = 0\n"
                             "z.close()\n"
                             "if raw: raw.close()\n");
        QStringList parts;
        for (const auto &[name, data] : kParts)
            parts.append(QStringLiteral("('%1', bytes.fromhex('%2'))").arg(name, QString::fromLatin1(data.toHex())));
        script = script.arg(parts.join(u','));
        QProcess process;
        process.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path});
        QVERIFY(process.waitForFinished(30000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    }
    QCOMPARE(readAll(fileBytes(path)), kParts);
}

void TestZipReader::refusesWhatItCannotRead_data()
{
    QTest::addColumn<QByteArray>("change"); // what is done to a libzip archive
    QTest::addColumn<int>("directory");
    QTest::addColumn<int>("read");
    QTest::newRow("not a zip") << QByteArray("replace") << int(ZipDirectory::NotZip) << -1;
    QTest::newRow("spans two files") << QByteArray("disk") << int(ZipDirectory::Unreadable) << -1;
    QTest::newRow("more entries than allowed") << QByteArray("crowd") << int(ZipDirectory::TooManyEntries) << -1;
    QTest::newRow("encrypted entry") << QByteArray("encrypt") << int(ZipDirectory::Read) << int(ZipRead::Unreadable);
    QTest::newRow("bzip2 entry") << QByteArray("bzip2") << int(ZipDirectory::Read) << int(ZipRead::Unreadable);
    QTest::newRow("wrong checksum") << QByteArray("crc") << int(ZipDirectory::Read) << int(ZipRead::BadChecksum);
    QTest::newRow("size beyond the limit") << QByteArray("limit") << int(ZipDirectory::Read) << int(ZipRead::TooLarge);
}

void TestZipReader::refusesWhatItCannotRead()
{
    QFETCH(QByteArray, change);
    QFETCH(int, directory);
    QFETCH(int, read);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.zip"));
    QVERIFY(writeZip(path, {kParts.at(2)}));
    QByteArray bytes = fileBytes(path);
    const qsizetype end = bytes.lastIndexOf("PK\x05\x06");
    const qsizetype central = bytes.indexOf("PK\x01\x02");
    const auto set16 = [&bytes](qsizetype at, quint16 value) {
        bytes[at] = char(value & 0xFF);
        bytes[at + 1] = char(value >> 8);
    };
    if (change == "replace")
        bytes = QByteArray(200, 'x');
    else if (change == "disk")
        set16(end + 4, 1);
    else if (change == "encrypt")
        set16(central + 8, 1);
    else if (change == "bzip2")
        set16(central + 10, 12);
    else if (change == "crc")
        bytes[central + 16] = char(bytes[central + 16] ^ 1);

    QList<ZipEntry> entries;
    QCOMPARE(int(readZipDirectory(bytes, change == "crowd" ? 0 : 10, entries)), directory);
    if (read < 0)
        return;
    QCOMPARE(entries.size(), 1);
    QByteArray data;
    QCOMPARE(int(readZipEntry(bytes, entries.constFirst(), change == "limit" ? 4000 : 1 << 20, data)), read);
}

// Every byte of an archive changed in turn: the reader refuses, or every entry
// it reads holds exactly what was written (names are not checksummed).
void TestZipReader::damagedArchiveNeverReadsWrongBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.zip"));
    QVERIFY(writeZip(path, kParts));
    const QByteArray intact = fileBytes(path);
    for (qsizetype at = 0; at < intact.size(); ++at) {
        for (const uchar flip : {uchar(0x01), uchar(0x80), uchar(0xFF)}) {
            QByteArray damaged = intact;
            damaged[at] = char(uchar(damaged[at]) ^ flip);
            const ZipEntries read = readAll(damaged);
            QVERIFY2(read.isEmpty() || read.size() == kParts.size(), qPrintable(QStringLiteral("byte %1").arg(at)));
            for (qsizetype i = 0; i < read.size(); ++i)
                QVERIFY2(read.at(i).second == kParts.at(i).second, qPrintable(QStringLiteral("byte %1").arg(at)));
        }
    }
}

QTEST_MAIN(TestZipReader)
#include "test_zipreader.moc"
