// Class lists as schools keep them, in the files their programs write:
// LibreOffice saved each fixture as .xlsx, .xls and .ods (and WPS's .et is
// the .xls format), openpyxl wrote the hidden rows and the two sheets
// (fixtures/make-fixtures.py). Every file is asserted roster for roster.
#include "core/roster/filekind.h"
#include "core/roster/importsummary.h"
#include "core/roster/namespacing.h"
#include "core/roster/rostercolumns.h"
#include "core/roster/rosterimport.h"

#include "common/classlistfixture.h"
#include "common/zipfixture.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace RosterColumns;

namespace {

const QString kFixtures = QStringLiteral(QUORVANE_ROSTER_FIXTURES);

QString fixture(const QString &name)
{
    return kFixtures + u'/' + name;
}

QString codesText(const QMap<QString, Gender> &codes)
{
    QStringList pairs;
    for (auto it = codes.cbegin(); it != codes.cend(); ++it)
        pairs.append(it.key() + (it.value() == Gender::Boy ? u'男' : u'女'));
    return pairs.join(u' ');
}

// Every student of every fixture, and the gender of the row that lists them.
const QMap<QString, Gender> &fixtureGenders()
{
    static const QMap<QString, Gender> genders = {
        {"张伟", Gender::Boy},  {"赵磊", Gender::Boy},  {"刘洋", Gender::Boy},   {"周杰", Gender::Boy},
        {"郑强", Gender::Boy},  {"李娜", Gender::Girl}, {"王芳", Gender::Girl},  {"陈静", Gender::Girl},
        {"孙丽", Gender::Girl}, {"吴敏", Gender::Girl}, {"Anna Li", Gender::Girl},
    };
    return genders;
}

} // namespace

class TestClassListFiles : public QObject
{
    Q_OBJECT

private slots:
    // The files, pattern by pattern
    void fixtures_data();
    void fixtures();
    void hiddenRowsCountedAndIncludedOnRequest_data();
    void hiddenRowsCountedAndIncludedOnRequest();
    void secondSheetInEveryFormat_data();
    void secondSheetInEveryFormat();
    void noFileImportsAStudentTwiceOrWithAnotherGender();
    void damagedFilesAreReadOrRefusedNeverCrash();

    // What the preview says
    void previewNamesHowTheFileWasRead();
    void unexplainedCodesAreOneAdviceNotOneProblemPerRow();

    // The readings underneath
    void legendWordings_data();
    void legendWordings();
    void paddedNames_data();
    void paddedNames();
    void lodgingValues_data();
    void lodgingValues();
    void headerSpacing();

    // Files that are no class list
    void refusalNamesTheRealType_data();
    void refusalNamesTheRealType();
    void chooserListsEveryReadableType();
    void textUnderAWorkbookNameReadsAsText();

private:
    QTemporaryDir dir;
};

void TestClassListFiles::fixtures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("problems");

    const struct
    {
        const char *base;
        const char *expected;
        QStringList problems;
    } patterns[] = {
        {"legend-above", "张伟 赵磊|李娜 王芳||王芳 张伟", {"1:在表头之前，未导入", "2:在表头之前，未导入"}},
        {"legend-below", "张伟 赵磊|李娜||", {"5:性别代码的说明，未导入"}},
        {"header-dash", "刘洋|陈静 孙丽||", {}},
        {"header-wei", "刘洋|陈静 孙丽||", {}},
        {"header-comma", "刘洋|陈静 孙丽||", {}},
        {"legend-other-header", "刘洋|陈静 孙丽||", {}},
        {"codes-unexplained", "|王芳||", {}},
        {"two-up", "张伟 赵磊|李娜 王芳 陈静|张伟 赵磊|", {"1:在表头之前，未导入"}},
        {"spacing", "张伟|王芳 李娜 Anna Li||",
         {"2:姓名“王  芳”中的空格已去掉，改为“王芳”", "3:姓名“李\u3000娜”中的空格已去掉，改为“李娜”",
          "4:姓名“张\u00a0伟”中的空格已去掉，改为“张伟”", "5:姓名“Anna Li”中间有空格，添加要求时无法输入这个姓名"}},
        {"lodging-status", "张伟 赵磊|李娜 王芳||李娜 王芳", {}},
        {"lodging-question", "张伟 赵磊|李娜||李娜 赵磊", {}},
        {"lodging-dayschool", "张伟 赵磊|李娜||李娜", {}},
        {"lodging-slash", "张伟 赵磊|李娜||张伟 赵磊", {}},
    };
    for (const auto &pattern : patterns) {
        for (const char *extension : {"xlsx", "xls", "ods"}) {
            const QString name = QStringLiteral("%1.%2").arg(QLatin1String(pattern.base), QLatin1String(extension));
            QTest::newRow(qPrintable(name)) << name << QString::fromUtf8(pattern.expected) << pattern.problems;
        }
    }
    QTest::newRow("WPS .et") << "legend-above.et" << "张伟 赵磊|李娜 王芳||王芳 张伟"
                             << QStringList{"1:在表头之前，未导入", "2:在表头之前，未导入"};
    QTest::newRow("ods named xlsx") << "two-up-ods-named.xlsx" << "张伟 赵磊|李娜 王芳 陈静|张伟 赵磊|"
                                    << QStringList{"1:在表头之前，未导入"};
}

void TestClassListFiles::fixtures()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QFETCH(QStringList, problems);
    const TableFile table = readTableFile(fixture(name));
    QCOMPARE(table.error, QString());
    const RosterImport import = interpretRoster(table);
    QCOMPARE(import.refusal, QString());
    QCOMPARE(rosterSummary(import), expected);
    QCOMPARE(rosterProblems(import), problems);
}

void TestClassListFiles::hiddenRowsCountedAndIncludedOnRequest_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("xlsx") << "hidden-rows.xlsx";
    QTest::newRow("ods") << "hidden-rows.ods";
    QTest::newRow("xls") << "hidden-rows.xls";
}

void TestClassListFiles::hiddenRowsCountedAndIncludedOnRequest()
{
    QFETCH(QString, name);
    const TableFile table = readTableFile(fixture(name));
    const RosterImport shown = interpretRoster(table);
    QCOMPARE(rosterSummary(shown), QStringLiteral("张伟|李娜 王芳||"));
    QCOMPARE(shown.hiddenRows, 3);
    QCOMPARE(hiddenRowsSentence(shown), QStringLiteral("文件中有 3 行被隐藏（如筛选掉的其他班学生），未导入。"));
    const RosterImport all = interpretRoster(table, {}, true);
    QCOMPARE(rosterSummary(all), QStringLiteral("周杰 张伟 郑强|吴敏 李娜 王芳||"));
    QCOMPARE(hiddenRowsSentence(all), QStringLiteral("文件中隐藏的 3 行也已读取。"));
}

void TestClassListFiles::secondSheetInEveryFormat_data()
{
    QTest::addColumn<QString>("name");
    for (const char *extension : {"xlsx", "xls", "ods"})
        QTest::newRow(extension) << QStringLiteral("two-sheets.%1").arg(QLatin1String(extension));
}

void TestClassListFiles::secondSheetInEveryFormat()
{
    QFETCH(QString, name);
    const TableFile first = readTableFile(fixture(name));
    QCOMPARE(first.sheetNames, (QStringList{"教师", "学生"}));
    QVERIFY(!interpretRoster(first).canImport());
    const TableFile second = readTableFile(fixture(name), 1);
    QCOMPARE(second.sheetIndex, 1);
    const RosterImport import = interpretRoster(second);
    QCOMPARE(rosterSummary(import), QStringLiteral("张伟 赵磊|王芳|张伟|王芳"));
    QCOMPARE(import.boys.first().number, QStringLiteral("2023001"));
}

// Whatever the format, layout or reading: nobody twice, nobody with the
// gender of another row.
void TestClassListFiles::noFileImportsAStudentTwiceOrWithAnotherGender()
{
    const QFileInfoList files = QDir(kFixtures).entryInfoList(QDir::Files);
    int imported = 0;
    for (const QFileInfo &file : files) {
        if (file.suffix() == QLatin1String("py"))
            continue;
        const int sheets = qMax<qsizetype>(1, readTableFile(file.filePath()).sheetNames.size());
        for (int sheet = 0; sheet < sheets; ++sheet) {
            const TableFile table = readTableFile(file.filePath(), sheet);
            QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
            for (const bool hidden : {false, true}) {
                const RosterImport import = interpretRoster(table, {}, hidden);
                QSet<QString> seen;
                for (const auto &[people, gender] : {std::pair{&import.boys, Gender::Boy}, std::pair{&import.girls, Gender::Girl}}) {
                    for (const ImportedPerson &person : *people) {
                        const QString where = QStringLiteral("%1 (sheet %2): %3").arg(file.fileName()).arg(sheet).arg(person.name);
                        QVERIFY2(!seen.contains(person.name), qPrintable(where + QStringLiteral(" twice")));
                        seen.insert(person.name);
                        QVERIFY2(fixtureGenders().value(person.name, Gender::Unknown) == gender,
                                 qPrintable(where + QStringLiteral(" with another gender")));
                        ++imported;
                    }
                }
            }
        }
    }
    QVERIFY(imported > 100);
}

// Flipped bytes and cut-off files, in the formats read by the program's own
// code (the compound file's row records, the OpenDocument reader) and FreeXL:
// refused with a message or read, never a crash (the sanitizer build watches).
void TestClassListFiles::damagedFilesAreReadOrRefusedNeverCrash()
{
    QRandomGenerator random(25);
    int refused = 0;
    for (const char *name : {"hidden-rows.xls", "two-sheets.xls", "two-up.ods", "hidden-rows.ods", "legend-below.xlsx"}) {
        QFile original(fixture(QLatin1String(name)));
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray bytes = original.readAll();
        for (int round = 0; round < 40; ++round) {
            QByteArray damaged = bytes;
            if (round % 4 == 0) {
                damaged.truncate(random.bounded(int(bytes.size())));
            } else {
                for (int flips = 1 + random.bounded(8); flips > 0; --flips)
                    damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            }
            const QString path = dir.filePath(QStringLiteral("damaged-") + QLatin1String(name));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(damaged);
            file.close();
            for (const int sheet : {0, 1}) {
                const TableFile table = readTableFile(path, sheet);
                refused += table.error.isEmpty() ? 0 : 1;
                const RosterImport import = interpretRoster(table, {}, true);
                // At most one student per block of each row that holds something.
                QVERIFY(import.boys.size() + import.girls.size() <= qsizetype(table.rowCount) * import.blockCount);
            }
        }
    }
    QVERIFY(refused > 0);
}

void TestClassListFiles::previewNamesHowTheFileWasRead()
{
    const ImportSummary above = summarizeImport(interpretRoster(readTableFile(fixture("legend-above.xls"))));
    QCOMPARE(above.lines,
             (QStringList{"将导入男生 2 名、女生 2 名，其中组长 0 名、外宿生 2 名。文件中没有组长一栏，组长名单不变。",
                          "性别代码：1 为男、2 为女（第 2 行的说明“性别：1-男 2-女”）",
                          "外宿生按“住宿情况”一栏：“不住宿”、“走读”的 2 名学生标为外宿生。"}));
    QVERIFY(!above.alert);

    const ImportSummary header = summarizeImport(interpretRoster(readTableFile(fixture("header-dash.ods"))));
    QCOMPARE(header.lines.value(1), QStringLiteral("性别代码：1 为男、2 为女（表头“性别(1-男 2-女)”）"));

    const ImportSummary twoUp = summarizeImport(interpretRoster(readTableFile(fixture("two-up.xlsx"))));
    QCOMPARE(twoUp.lines.value(1), QStringLiteral("名单分为并排的 2 栏，按从左到右、每栏从上到下的顺序读取。"));

    const ImportSummary question = summarizeImport(interpretRoster(readTableFile(fixture("lodging-question.xlsx"))));
    QCOMPARE(question.lines.value(1), QStringLiteral("外宿生按“是否住校”一栏：“否”的 2 名学生标为外宿生。"));
}

void TestClassListFiles::unexplainedCodesAreOneAdviceNotOneProblemPerRow()
{
    const RosterImport import = interpretRoster(readTableFile(fixture("codes-unexplained.xlsx")));
    QVERIFY(import.problems.isEmpty());
    QCOMPARE(import.unexplainedCodes, (QStringList{"1", "2"}));
    QCOMPARE(import.unexplainedRows, 2);
    const ImportSummary preview = summarizeImport(import);
    QVERIFY(preview.alert);
    QCOMPARE(preview.lines.constLast(),
             QStringLiteral("性别一栏用数字 “1”、“2” 表示，文件中没有说明哪个数字是男、哪个是女，这 2 行未导入。"
                            "请在表格程序中把表头“性别”改为“性别(1-男 2-女)”，或在表格上方加一行“性别：1-男 2-女”，"
                            "保存后重新导入；也可以在上方的“性别”中选择“全部为男生”或“全部为女生”。"));
}

void TestClassListFiles::legendWordings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("codes");
    QTest::newRow("dash, blank") << "性别：1-男 2-女" << "1男 2女";
    QTest::newRow("为, full-width comma") << "注：1为男，2为女" << "1男 2女";
    QTest::newRow("是") << "1是男 2是女" << "1男 2女";
    QTest::newRow("equals, word first") << "男=1，女=2" << "1男 2女";
    QTest::newRow("full-width colon, word first") << "男：0；女：1" << "0男 1女";
    QTest::newRow("full-width digits and dash") << "１－女　２－男" << "1女 2男";
    QTest::newRow("dash and comma in brackets") << "性别(1-男,2-女)" << "1男 2女";
    QTest::newRow("no separator") << "1男2女" << "1男 2女";
    QTest::newRow("word first, no separator") << "男1女2" << "1男 2女";
    QTest::newRow("男生 and 女生") << "男生1 女生2" << "1男 2女";
    QTest::newRow("one gender only") << "1-男" << "";
    QTest::newRow("counts, not codes") << "男生25人 女生20人" << "";
    QTest::newRow("class number and counts") << "高一3班 男5人 女7人" << "";
    QTest::newRow("one digit both genders") << "1男 1女" << "";
    QTest::newRow("no genders") << "学号：1-50" << "";
}

void TestClassListFiles::legendWordings()
{
    QFETCH(QString, text);
    QFETCH(QString, codes);
    QCOMPARE(codesText(legendCodes(text)), codes);
}

void TestClassListFiles::paddedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("joined");
    QTest::newRow("two blanks") << "王  芳" << "王芳";
    QTest::newRow("full-width blank") << "李\u3000娜" << "李娜";
    QTest::newRow("non-breaking blank") << "张\u00a0伟" << "张伟";
    QTest::newRow("three characters spread") << "欧 阳 锋" << "欧阳锋";
    QTest::newRow("middle dot") << "阿依古丽 · 买买提" << "阿依古丽·买买提";
    QTest::newRow("Latin keeps one blank") << "Anna Li" << "Anna Li";
    QTest::newRow("Latin, run of blanks") << "Anna\u3000 Li" << "Anna Li";
    QTest::newRow("Chinese and Latin") << "李 Anna" << "李 Anna";
    QTest::newRow("nothing to join") << "王芳" << "王芳";
}

void TestClassListFiles::paddedNames()
{
    QFETCH(QString, name);
    QFETCH(QString, joined);
    QCOMPARE(joinPaddedName(name), joined);
}

void TestClassListFiles::lodgingValues_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("lodging");
    const int boards = int(Lodging::Boards);
    const int day = int(Lodging::DayStudent);
    QTest::newRow("住宿情况 住校") << "住宿情况" << "住校" << boards;
    QTest::newRow("住宿情况 走读") << "住宿情况" << "走读" << day;
    QTest::newRow("住宿情况 不住宿") << "住宿情况" << "不住宿" << day;
    QTest::newRow("住宿情况 住宿") << "住宿情况" << "住宿" << boards;
    QTest::newRow("是否住校 是") << "是否住校" << "是" << boards;
    QTest::newRow("是否住校 否") << "是否住校" << "否" << day;
    QTest::newRow("住校/走读 走读") << "住校/走读" << "走读" << day;
    QTest::newRow("走读生 是") << "走读生" << "是" << day;
    QTest::newRow("走读生 否") << "走读生" << "否" << boards;
    QTest::newRow("外宿生 √") << "外宿生" << "√" << day;
    QTest::newRow("blank") << "住宿情况" << " " << int(Lodging::Blank);
    QTest::newRow("unknown") << "住宿情况" << "也许" << int(Lodging::Unknown);
}

void TestClassListFiles::lodgingValues()
{
    QFETCH(QString, header);
    QFETCH(QString, value);
    QFETCH(int, lodging);
    const Kind kind = kindOfHeader(header);
    QVERIFY(kind == Kind::Boarder || kind == Kind::Resident);
    QCOMPARE(int(lodgingOf(value, kind)), lodging);
}

void TestClassListFiles::headerSpacing()
{
    for (const QString &header : {QStringLiteral("姓　名"), QStringLiteral("姓\u00a0名"), QStringLiteral(" 姓 名 ")})
        QCOMPARE(int(kindOfHeader(header)), int(Kind::Name));
    QCOMPARE(int(kindOfHeader(QStringLiteral("性\u3000别"))), int(Kind::Gender));
}

void TestClassListFiles::refusalNamesTheRealType_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind");

    const auto zipOf = [this](const QString &name, const QList<QPair<QString, QByteArray>> &entries) {
        const QString path = dir.filePath(name + QStringLiteral(".zip"));
        writeZip(path, entries);
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    };
    QTest::newRow("Word document named xlsx")
        << "list.xlsx" << zipOf("docx", {{"[Content_Types].xml", "<Types/>"}, {"word/document.xml", "<w:document/>"}})
        << "是Word 文档（.docx），不是名单表格";
    QTest::newRow("OpenDocument text named ods")
        << "list.ods" << zipOf("odt", {{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", "<x/>"}})
        << "是OpenDocument 文本文档（.odt），不是名单表格";
    QTest::newRow("PDF named xls") << "list.xls" << QByteArray("%PDF-1.7\n...") << "是PDF 文档，不是名单表格";
    QTest::newRow("web page named xls") << "export.xls" << QByteArray("<html><body><table><tr><td>姓名</td></tr></table>")
                                        << "是网页（HTML）文件，不是名单表格";
    QTest::newRow("Excel 2003 XML named xls")
        << "export2.xls"
        << QByteArray("<?xml version=\"1.0\"?>\n<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\">")
        << "是Excel 2003 XML 表格，不是名单表格";
    QTest::newRow("Word 97 document named xls")
        << "old.xls" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0') + QByteArray("W\0o\0r\0d\0D\0o\0c\0u\0m\0e\0n\0t\0", 24)
        << "是Word 97-2003 文档（.doc），不是名单表格";
    QTest::newRow("damaged old workbook") << "broken.xls" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10)
                                          << "已损坏或不是有效的 xls 工作簿";
    QTest::newRow("zip named ods") << "archive.ods" << zipOf("plain", {{"readme.txt", "x"}})
                                   << "是ZIP 压缩包，不是名单表格";
}

void TestClassListFiles::refusalNamesTheRealType()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    const QString path = dir.filePath(name);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const TableFile table = readTableFile(path);
    QVERIFY2(table.error.contains(kind), qPrintable(table.error));
    QVERIFY(table.rows.isEmpty());
    QVERIFY(!interpretRoster(table).canImport());
}

void TestClassListFiles::chooserListsEveryReadableType()
{
    for (const char *pattern : {"*.xlsx", "*.xls", "*.et", "*.ods", "*.csv", "*.txt"})
        QVERIFY(kClassListFilter.section(QStringLiteral(";;"), 0, 0).contains(QLatin1String(pattern)));
    QCOMPARE(kClassListFilter.section(QStringLiteral(";;"), -1), QStringLiteral("所有文件 (*)"));
}

// School systems export tab-separated text named .xls.
void TestClassListFiles::textUnderAWorkbookNameReadsAsText()
{
    const QString path = dir.filePath(QStringLiteral("export.xls"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("姓名\t性别\n张伟\t男\n李娜\t女\n");
    file.close();
    const TableFile table = readTableFile(path);
    QCOMPARE(table.error, QString());
    QCOMPARE(table.encoding, QStringLiteral("UTF-8"));
    QCOMPARE(rosterSummary(interpretRoster(table)), QStringLiteral("张伟|李娜||"));
}

QTEST_GUILESS_MAIN(TestClassListFiles)
#include "test_classlistfiles.moc"
