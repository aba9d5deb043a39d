// The whole export with the built-in engine on real templates, read back by
// an independent reader (openpyxl).
#include "common/readback.h"

#include "core/platform/clock.h"
#include "core/storage/configstore.h"
#include "core/workbook/seatplanexport.h"
#include "core/workbook/xlsx/package.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_LINUX
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <cerrno>
#include <cstring>
#endif

namespace {

const QString kDate = QStringLiteral("2025.10.08");

void parseCoordinate(const QString &coordinate, int &row, int &column)
{
    column = 0;
    int i = 0;
    while (i < coordinate.size() && coordinate.at(i).isLetter())
        column = column * 26 + (coordinate.at(i++).unicode() - 'A' + 1);
    row = coordinate.mid(i).toInt();
}

QJsonObject without(QJsonObject object, const QStringList &keys)
{
    for (const QString &key : keys)
        object.remove(key);
    return object;
}

// A tmpfs of a few pages, mounted in a mount namespace of the test's own so
// that nothing stays mounted whatever becomes of the test.
class SmallFileSystem
{
public:
    ~SmallFileSystem()
    {
#ifdef Q_OS_LINUX
        if (!m_path.isEmpty())
            umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
#endif
    }

    // Empty when mounted, otherwise why it cannot be done here.
    QString mount(const QString &path, qint64 size)
    {
#ifdef Q_OS_LINUX
        const auto failed = [](const char *step) {
            return QStringLiteral("cannot mount a small file system here (%1: %2); needs root and mount rights")
                .arg(QLatin1String(step), QString::fromLocal8Bit(std::strerror(errno)));
        };
        static const bool ownNamespace = unshare(CLONE_NEWNS) == 0
            && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        if (!ownNamespace)
            return failed("unshare");
        const QByteArray options = "size=" + QByteArray::number(size);
        if (::mount("quorvane-test", QFile::encodeName(path).constData(), "tmpfs", 0, options.constData()) != 0)
            return failed("mount");
        m_path = path;
        return QString();
#else
        Q_UNUSED(path);
        Q_UNUSED(size);
        return QStringLiteral("a small file system is only mounted on Linux");
#endif
    }

    // Takes all room but about the given bytes with a filler file.
    bool leaveFree(qint64 room)
    {
#ifdef Q_OS_LINUX
        QFile filler(m_path + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray page(4096, 'x');
        qint64 size = 0;
        while (filler.write(page) == page.size())
            size += page.size();
        if (!filler.resize(qMax<qint64>(0, size - room)))
            return false;
        filler.close();
        struct statvfs info;
        return statvfs(QFile::encodeName(m_path).constData(), &info) == 0
            && qint64(info.f_bavail) * qint64(info.f_frsize) <= room;
#else
        Q_UNUSED(room);
        return false;
#endif
    }

private:
    QString m_path;
};

} // namespace

class TestExportEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void shippedTemplate_data();
    void shippedTemplate();
    void trickyTemplate();
    void badTemplateEndsInFailureBox_data();
    void badTemplateEndsInFailureBox();
    void fullDiskEndsInFailureAndKeepsTheEarlierFile_data();
    void fullDiskEndsInFailureAndKeepsTheEarlierFile();

private:
    bool exportWith(const QString &style, const QString &fileName);
    // Checks every cell of the result against the template by the marker rules.
    void verifyAgainstTemplate(const QJsonObject &before, const QJsonObject &after);

    std::unique_ptr<QTemporaryDir> m_dir;
    ClassModel m_model;
    QStringList m_events;
};

void TestExportEndToEnd::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    for (const QString &name : {QStringLiteral("座位样式1.xlsx"), QStringLiteral("座位样式2.xlsx")})
        QVERIFY(QFile::copy(QStringLiteral(QUORVANE_TEMPLATE_DIR "/") + name, m_dir->filePath(name)));
    QString style;
    m_model = ClassModel();
    ConfigStore::readRoster(QStringLiteral(QUORVANE_EXAMPLES_DIR "/config.ini"), m_model, style);
    QCOMPARE(m_model.personCount(), 54);
    // Nine groups of six, in roster order.
    for (int group = 0; group < 9; ++group) {
        Group members;
        for (int seat = 1; seat <= 6; ++seat)
            members.append(group * 6 + seat);
        m_model.generatedGroups.append(members);
    }
    m_events.clear();
    Automation::ApplicationRegistry::instance().reset();
    setClockForTesting([] { return QDateTime(QDate(2025, 10, 8), QTime(9, 5, 3)); });
}

void TestExportEndToEnd::cleanup()
{
    setClockForTesting(nullptr);
    Xlsx::setDeviceWriteForTesting({});
}

bool TestExportEndToEnd::exportWith(const QString &style, const QString &fileName)
{
    SeatPlan::Reporter reporter;
    reporter.warning = [this](const QString &text) { m_events.append(QStringLiteral("warning: ") + text); };
    reporter.critical = [this](const QString &text) { m_events.append(QStringLiteral("critical: ") + text); };
    reporter.detail = [this](const QString &text) { m_events.append(QStringLiteral("log: ") + text); };
    reporter.exported = [this](const QString &path) { m_events.append(QStringLiteral("exported: ") + path); };
    const SeatPlan::Source source{m_model, style, m_dir->filePath(QStringLiteral("config.ini")), m_dir->path()};
    return SeatPlan::writeSeatTable(fileName, source, reporter);
}

void TestExportEndToEnd::verifyAgainstTemplate(const QJsonObject &before, const QJsonObject &after)
{
    const QJsonArray beforeSheets = before.value(QStringLiteral("sheets")).toArray();
    const QJsonArray afterSheets = after.value(QStringLiteral("sheets")).toArray();
    QVERIFY(!beforeSheets.isEmpty());
    QCOMPARE(afterSheets.size(), beforeSheets.size());
    // Everything but the first sheet's cells is untouched.
    for (int i = 1; i < beforeSheets.size(); ++i)
        QCOMPARE(afterSheets.at(i), beforeSheets.at(i));
    const QJsonObject first = beforeSheets.at(0).toObject();
    const QJsonObject result = afterSheets.at(0).toObject();
    QCOMPARE(without(result, {QStringLiteral("cells")}), without(first, {QStringLiteral("cells")}));

    const QJsonObject cells = first.value(QStringLiteral("cells")).toObject();
    const QJsonObject written = result.value(QStringLiteral("cells")).toObject();
    // A cell emptied of its marker and without a format of its own is no
    // longer there for the reader.
    for (const QString &coordinate : written.keys())
        QVERIFY2(cells.contains(coordinate), qPrintable(coordinate));

    int minRow = INT_MAX, minColumn = INT_MAX, maxRow = 0, maxColumn = 0;
    for (const QString &coordinate : cells.keys()) {
        int row = 0, column = 0;
        parseCoordinate(coordinate, row, column);
        minRow = qMin(minRow, row);
        minColumn = qMin(minColumn, column);
        maxRow = qMax(maxRow, row);
        maxColumn = qMax(maxColumn, column);
    }
    static const QRegularExpression seat(QStringLiteral("\\A(\\d+)-(\\d+)\\z"));
    const QStringList formatKeys{QStringLiteral("value"), QStringLiteral("size"), QStringLiteral("bold"),
                                 QStringLiteral("fill"), QStringLiteral("horizontal"), QStringLiteral("vertical"),
                                 QStringLiteral("wrap")};
    for (const QString &coordinate : cells.keys()) {
        const QJsonObject was = cells.value(coordinate).toObject();
        int row = 0, column = 0;
        parseCoordinate(coordinate, row, column);
        const bool scanned = row <= maxRow - minRow + 1 && column <= maxColumn - minColumn + 1;
        const QString text = was.value(QStringLiteral("value")).toString();
        const QRegularExpressionMatch match = seat.match(text);
        QString name;
        bool filled = false;
        if (scanned && match.hasMatch()) {
            const int g = match.captured(1).toInt();
            const int s = match.captured(2).toInt();
            filled = g >= 1 && g <= m_model.generatedGroups.size() && s >= 1 && s <= m_model.generatedGroups.at(g - 1).size();
            if (filled)
                name = m_model.nameOf(m_model.generatedGroups.at(g - 1).at(s - 1));
        }
        const QByteArray where = coordinate.toUtf8() + " (" + text.toUtf8() + ")";
        if (!written.contains(coordinate)) {
            QVERIFY2(scanned && match.hasMatch() && !filled, where);
            continue;
        }
        const QJsonObject now = written.value(coordinate).toObject();
        if (scanned && text.contains(QStringLiteral("XXXX.XX.XX"))) {
            QVERIFY2(now.value(QStringLiteral("value")).toString() == kDate, where);
            QVERIFY2(without(now, {QStringLiteral("value")}) == without(was, {QStringLiteral("value")}), where);
        } else if (filled) {
            QVERIFY2(now.value(QStringLiteral("value")).toString() == name, where);
            QVERIFY2(now.value(QStringLiteral("size")).toDouble() == 16, where);
            QVERIFY2(now.value(QStringLiteral("bold")).toBool()
                         == (m_model.leaderNames.contains(name) || was.value(QStringLiteral("bold")).toBool()),
                     where);
            const QJsonValue fill = m_model.boarderNames.contains(name) ? QJsonValue(QStringLiteral("FFFFFF00"))
                                                                         : was.value(QStringLiteral("fill"));
            QVERIFY2(now.value(QStringLiteral("fill")) == fill, where);
            QVERIFY2(now.value(QStringLiteral("horizontal")).toString() == QStringLiteral("center"), where);
            QVERIFY2(now.value(QStringLiteral("vertical")).toString() == QStringLiteral("center"), where);
            QVERIFY2(now.value(QStringLiteral("wrap")).toBool(), where);
            QVERIFY2(without(now, formatKeys) == without(was, formatKeys), where);
        } else if (scanned && match.hasMatch()) {
            QVERIFY2(now.value(QStringLiteral("value")).isNull(), where);
            QVERIFY2(without(now, {QStringLiteral("value")}) == without(was, {QStringLiteral("value")}), where);
        } else {
            QVERIFY2(now == was, where);
        }
    }
}

void TestExportEndToEnd::shippedTemplate_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("file");
    QTest::newRow("style 1") << "样式1" << "座位样式1.xlsx";
    QTest::newRow("style 2, group 10 stays empty") << "样式2" << "座位样式2.xlsx";
}

void TestExportEndToEnd::shippedTemplate()
{
    QFETCH(QString, style);
    QFETCH(QString, file);
    const QString templatePath = m_dir->filePath(file);
    const QByteArray digest = fileDigest(templatePath);
    const QString output = m_dir->filePath(QStringLiteral("plan"));

    QVERIFY(exportWith(style, output));
    QCOMPARE(m_events, (QStringList{QStringLiteral("log: 使用内置表格引擎"),
                                    QStringLiteral("exported: ") + m_dir->filePath(QStringLiteral("plan.xlsx"))}));
    QCOMPARE(fileDigest(templatePath), digest);

    const QJsonObject before = readBack(templatePath);
    const QJsonObject after = readBack(output + QStringLiteral(".xlsx"));
    QVERIFY(!after.isEmpty());
    verifyAgainstTemplate(before, after);
    // A spot check that does not lean on the rule-based comparison: 1-1 is the
    // first boy of the demo class, a leader.
    const QJsonObject cells = after.value(QStringLiteral("sheets")).toArray().at(0).toObject().value(QStringLiteral("cells")).toObject();
    bool sawFirst = false;
    for (const QJsonValue &cell : cells) {
        if (cell.toObject().value(QStringLiteral("value")).toString() == QStringLiteral("王浩然")) {
            QVERIFY(cell.toObject().value(QStringLiteral("bold")).toBool());
            sawFirst = true;
        }
    }
    QVERIFY(sawFirst);
}

void TestExportEndToEnd::trickyTemplate()
{
    const QString templatePath = m_dir->filePath(QStringLiteral("tricky.xlsx"));
    runPython(QStringLiteral("make-tricky.py"), {templatePath});
    QVERIFY(QFile::exists(templatePath));
    QFile config(m_dir->filePath(QStringLiteral("config.ini")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("[Style]\nCustomPath=" + templatePath.toUtf8() + "\n");
    config.close();
    m_model.generatedGroups = m_model.generatedGroups.mid(0, 3);
    const QByteArray digest = fileDigest(templatePath);

    const QString output = m_dir->filePath(QStringLiteral("tricky-plan.XLSX"));
    QVERIFY(exportWith(QStringLiteral("自定义"), output));
    QCOMPARE(fileDigest(templatePath), digest);

    const QJsonObject before = readBack(templatePath);
    const QJsonObject after = readBack(output);
    verifyAgainstTemplate(before, after);

    const QJsonObject cells = after.value(QStringLiteral("sheets")).toArray().at(0).toObject().value(QStringLiteral("cells")).toObject();
    const auto value = [&](const char *coordinate) { return cells.value(QLatin1String(coordinate)).toObject().value(QStringLiteral("value")); };
    QCOMPARE(value("C3").toString(), kDate);
    QCOMPARE(value("D3").toString(), QStringLiteral("xxxx.xx.xx"));
    QCOMPARE(value("F3").toString(), QStringLiteral("1-2"));
    QCOMPARE(value("C4").toString(), m_model.nameOf(14));
    QCOMPARE(value("D4").toString(), QStringLiteral(" 3-5"));
    QCOMPARE(value("C5").toString(), QStringLiteral("3-5-1"));
    for (const char *emptied : {"D5", "C6", "D6"})
        QVERIFY2(value(emptied).isNull() || value(emptied).isUndefined(), emptied);
    QCOMPARE(value("C7").toString(), m_model.nameOf(1));
    QCOMPARE(value("D7").toDouble(), 12.0);
    QCOMPARE(value("C9").toString(), QStringLiteral("1-1"));
    // The formatted seat keeps its font name, colour, border and number format.
    const QJsonObject c4 = cells.value(QStringLiteral("C4")).toObject();
    QCOMPARE(c4.value(QStringLiteral("fontName")).toString(), QStringLiteral("楷体"));
    QCOMPARE(c4.value(QStringLiteral("fontColor")).toString(), QStringLiteral("FFFF0000"));
    QCOMPARE(c4.value(QStringLiteral("numberFormat")).toString(), QStringLiteral("@"));
    QCOMPARE(c4.value(QStringLiteral("fill")).toString(), QStringLiteral("FF00B0F0"));
}

void TestExportEndToEnd::badTemplateEndsInFailureBox_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text file") << QByteArray("not a workbook at all") << "不是 zip 压缩包";
    QTest::newRow("empty file") << QByteArray() << "不是有效的 xlsx 工作簿";
    QTest::newRow("truncated zip") << QByteArray("PK\x03\x04\x14\x00\x00\x00", 8) << "不是有效的 xlsx 工作簿";
}

void TestExportEndToEnd::badTemplateEndsInFailureBox()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString templatePath = m_dir->filePath(QStringLiteral("座位样式1.xlsx"));
    QFile file(templatePath);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();

    QVERIFY(!exportWith(QStringLiteral("样式1"), m_dir->filePath(QStringLiteral("plan.xlsx"))));
    QCOMPARE(m_events.size(), 2);
    QVERIFY2(m_events.last().startsWith(QStringLiteral("critical: 导出失败: ")), qPrintable(m_events.last()));
    QVERIFY2(m_events.last().contains(reason), qPrintable(m_events.last()));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("plan.xlsx"))));
    QFile again(templatePath);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), content);
}

void TestExportEndToEnd::fullDiskEndsInFailureAndKeepsTheEarlierFile_data()
{
    QTest::addColumn<bool>("realFileSystem");
    QTest::addColumn<qint64>("room"); // bytes the save can still write
    // The plan is about 7 KiB: too much for one free page.
    QTest::newRow("file system with 4 KiB free") << true << qint64(4096);
    QTest::newRow("file system with nothing free") << true << qint64(0);
    QTest::newRow("device full after 4 KiB") << false << qint64(4096);
    QTest::newRow("device full at once") << false << qint64(0);
}

void TestExportEndToEnd::fullDiskEndsInFailureAndKeepsTheEarlierFile()
{
    QFETCH(bool, realFileSystem);
    QFETCH(qint64, room);
    const QString disk = m_dir->filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(disk));
    SmallFileSystem fileSystem;
    if (realFileSystem) {
        const QString why = fileSystem.mount(disk, 256 * 1024);
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
    }
    const QString output = disk + QStringLiteral("/plan.xlsx");
    const QByteArray earlier("an earlier seating plan");
    {
        QFile file(output);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(earlier);
    }
    QStringList files = QDir(disk).entryList(QDir::Files | QDir::Hidden);
    if (realFileSystem) {
        QVERIFY(fileSystem.leaveFree(room));
        files = QDir(disk).entryList(QDir::Files | QDir::Hidden);
    } else {
        Xlsx::setDeviceWriteForTesting([room](QFileDevice &file, const char *data, qint64 size) mutable -> qint64 {
            const qint64 taken = qMin(size, room);
            room -= taken;
            return taken > 0 ? file.write(data, taken) : -1;
        });
    }

    QVERIFY(!exportWith(QStringLiteral("样式1"), output));
    QCOMPARE(m_events.size(), 2);
    QVERIFY2(m_events.last().startsWith(QStringLiteral("critical: 导出失败: 无法写入文件 ")), qPrintable(m_events.last()));
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), earlier);
    QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden), files);
}

QTEST_GUILESS_MAIN(TestExportEndToEnd)
#include "test_exportendtoend.moc"
