// Reading class lists: text encodings and separators, what the columns mean,
// workbooks made with the project's own engine, and files that are refused.
#include "common/classlistfixture.h"
#include "common/zipfixture.h"

#include "core/roster/delimitedtext.h"
#include "core/roster/rosterimport.h"
#include "core/storage/textdecoding.h"
#include "core/model/duplicatenames.h"
#include "core/model/namecollation.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class TestRosterImport : public QObject
{
    Q_OBJECT

private slots:
    // Text files
    void encodings_data();
    void encodings();
    void delimited_data();
    void delimited();

    // What the columns mean
    void roster_data();
    void roster();
    void headerlessFileWaitsForGenderChoice();
    void rowLimit_data();
    void rowLimit();
    void duplicateWarningNamesEachNameOnce();
    void namesSortByPinyinInAnyLocale();

    // Workbooks and other files
    void workbookWrittenByEngine();
    void workbookInlineStringsNumbersAndChartSheet();
    void unreadableFileImportsNothing_data();
    void unreadableFileImportsNothing();

private:
    QTemporaryDir dir;
};

void TestRosterImport::encodings_data()
{
    const QString text = QStringLiteral("姓名,性别\n张伟,男\n安琪,女\n");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    using Converter = QStringConverter;
    QTest::newRow("UTF-8") << text.toUtf8() << "UTF-8";
    QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + text.toUtf8() << "UTF-8";
    QTest::newRow("GB18030") << QStringEncoder("GB18030").encode(text).operator QByteArray() << "GB18030";
    QTest::newRow("UTF-16LE") << QStringEncoder(Converter::Utf16LE, Converter::Flag::WriteBom).encode(text).operator QByteArray()
                              << "UTF-16LE";
    QTest::newRow("UTF-16BE") << QStringEncoder(Converter::Utf16BE, Converter::Flag::WriteBom).encode(text).operator QByteArray()
                              << "UTF-16BE";
}

void TestRosterImport::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QCOMPARE(isValidUtf8(bytes), encoding == QStringLiteral("UTF-8"));
    const TableFile table = readTableFile(write(dir, QStringLiteral("list.csv"), bytes));
    QCOMPARE(table.error, QString());
    QCOMPARE(table.encoding, encoding);
    QCOMPARE(rosterSummary(interpretRoster(table)), QStringLiteral("张伟|安琪||"));
}

void TestRosterImport::delimited_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("records");
    QTest::newRow("comma") << "a,b\nc,d" << QStringList{"a|b", "c|d"};
    QTest::newRow("semicolon, CRLF") << "a;b\r\nc;d\r\n" << QStringList{"a|b", "c|d"};
    QTest::newRow("tab wins a tie") << "a\tb,c\n" << QStringList{"a|b,c"};
    QTest::newRow("quoted separator, break, quote") << "\"张,三\",\"x\ny\"\n\"say \"\"hi\"\"\",z"
                                                    << QStringList{"张,三|x\ny", "say \"hi\"|z"};
    QTest::newRow("separator inside quotes not counted") << "\"a;b\",c\n" << QStringList{"a;b|c"};
    QTest::newRow("one name per line") << "甲\n乙\n" << QStringList{"甲", "乙"};
    QTest::newRow("blank record keeps its number") << "a\n\nb" << QStringList{"a", "", "b"};
    QTest::newRow("empty quoted field") << "\"\",x" << QStringList{"|x"};
}

void TestRosterImport::delimited()
{
    QFETCH(QString, text);
    QFETCH(QStringList, records);
    const DelimitedText parsed = parseDelimitedText(text, detectSeparator(text));
    QStringList seen;
    for (int i = 0; i < parsed.rows.size(); ++i) {
        QCOMPARE(parsed.rows.at(i).number, i + 1);
        seen.append(parsed.rows.at(i).cells.join(u'|'));
    }
    QCOMPARE(seen, records);
    QCOMPARE(parsed.unterminatedRow, 0);
}

void TestRosterImport::roster_data()
{
    QTest::addColumn<QString>("csv");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QString>("refusal");

    QTest::newRow("all columns, ordered by 学号") << "学号,姓名,性别,组长,外宿生\n3,张伟,男,是,\n10,李娜,女,,√\n2,王芳,女,1,否\n"
                                                   << "张伟|王芳 李娜|王芳 张伟|李娜" << QStringList{} << "";
    QTest::newRow("title row, other spellings") << "高一(3)班名单\n名字,性别,是否组长,走读生\n安琪,F,Y,yes\n陈静,female,✓,N\n赵磊,M,×,\n"
                                                << "赵磊|安琪 陈静|安琪 陈静|安琪" << QStringList{"1:在表头之前，未导入"} << "";
    QTest::newRow("住校生: only an explicit no") << "姓名,性别,住校生\n甲,男,是\n乙,男,否\n丙,女,\n" << "甲 乙|丙||乙"
                                                  << QStringList{} << "";
    QTest::newRow("codes declared digit first") << "姓名,性别(1男2女)\n甲,1\n乙,2\n" << "甲|乙||" << QStringList{} << "";
    QTest::newRow("codes declared word first") << "姓名,性别（男=1，女=2）\n甲,2\n乙,1\n" << "乙|甲||" << QStringList{} << "";
    // The undeclared code is one piece of advice, not a problem of its row.
    QTest::newRow("codes undeclared") << "姓名,性别\n甲,1\n乙,男\n丙,\n" << "乙|||"
                                      << QStringList{"4:“丙”的性别为空，此行未导入"} << "";
    QTest::newRow("empty, padded, duplicate, spaced names")
        << "姓名,性别\n 张伟 ,男\n,女\n张伟,女\n李 娜,女\nAnna Li,女\n" << "张伟|张伟 李娜 Anna Li||"
        << QStringList{"2:姓名“张伟”前后有空格，已去掉", "3:姓名为空，此行未导入", "4:“张伟”与第 2 行重名",
                       "5:姓名“李 娜”中的空格已去掉，改为“李娜”", "6:姓名“Anna Li”中间有空格，添加要求时无法输入这个姓名"}
        << "";
    QTest::newRow("unknown marks") << "姓名,性别,组长,外宿生\n甲,男,可能,也许\n" << "甲|||"
                                   << QStringList{"2:组长一栏的“可能”无法识别，未标为组长", "2:“外宿生”一栏的“也许”无法识别，未标为外宿生"} << "";
    QTest::newRow("unterminated quote") << "姓名,性别\n甲,男\n\"乙,女\n丙,男\n" << "甲|||"
                                        << QStringList{"3:引号没有配对，从此行起的内容无法读取，未导入"} << "";
    QTest::newRow("headerless, genders by values") << "甲,男\n乙,女\n" << "甲|乙||" << QStringList{} << "";
    QTest::newRow("header without a name column") << "学号,性别\n1,男\n" << "|||" << QStringList{}
                                                  << "找不到姓名列。表头中应有“姓名”或“名字”一栏，未导入任何人。";
    QTest::newRow("header only") << "姓名,性别\n\n" << "|||" << QStringList{} << "文件中没有名单。";
}

void TestRosterImport::roster()
{
    QFETCH(QString, csv);
    QFETCH(QString, expected);
    QFETCH(QStringList, problems);
    QFETCH(QString, refusal);
    const RosterImport import = interpretRoster(readTableFile(write(dir, QStringLiteral("list.csv"), csv.toUtf8())));
    QCOMPARE(rosterSummary(import), expected);
    QCOMPARE(rosterProblems(import), problems);
    QCOMPARE(import.refusal, refusal);
    QCOMPARE(import.canImport(), refusal.isEmpty());
}

void TestRosterImport::headerlessFileWaitsForGenderChoice()
{
    const TableFile table = readTableFile(write(dir, QStringLiteral("names.txt"), "甲\t1\n乙\t2\n"));
    const RosterImport detected = interpretRoster(table);
    QVERIFY(detected.needsGenderChoice());
    QVERIFY(!detected.canImport());
    QCOMPARE(detected.columnTitles, (QStringList{"第 1 列", "第 2 列"}));
    QCOMPARE(rosterSummary(interpretRoster(table, {GenderChoice::AllGirls})), QStringLiteral("|甲 乙||"));
    QCOMPARE(rosterSummary(interpretRoster(table, {GenderChoice::AllBoys})), QStringLiteral("甲 乙|||"));
    const RosterImport byColumn = interpretRoster(table, {GenderChoice::Column, 1});
    QCOMPARE(rosterSummary(byColumn), QStringLiteral("|||"));
    QCOMPARE(byColumn.unexplainedRows, 2);
}

void TestRosterImport::rowLimit_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("header");
    QTest::newRow("1000 with header") << 1000 << true;
    QTest::newRow("1001 with header") << 1001 << true;
    QTest::newRow("1001 without header") << 1001 << false;
}

void TestRosterImport::rowLimit()
{
    QFETCH(int, count);
    QFETCH(bool, header);
    QByteArray csv = header ? "姓名,性别\n" : "";
    for (int i = 1; i <= count; ++i)
        csv += QStringLiteral("学生%1,男\n").arg(i).toUtf8();
    const RosterImport import = interpretRoster(readTableFile(write(dir, QStringLiteral("big.csv"), csv)));
    if (count <= kMaxImportRows) {
        QCOMPARE(import.boys.size(), count);
        QVERIFY(import.canImport());
        return;
    }
    QVERIFY(import.boys.isEmpty());
    QVERIFY(!import.canImport());
    QCOMPARE(import.refusal, QStringLiteral("名单有 1001 行，超过了 1000 行的上限（从第 %1 行起），未导入任何人。请只保留本班的学生。")
                                 .arg(header ? 1002 : 1001));
}

void TestRosterImport::duplicateWarningNamesEachNameOnce()
{
    QCOMPARE(duplicateNamesWarning({"张伟", "李娜", "张伟"}),
             QStringLiteral("名单中有重名: 张伟 ×2。重名的学生在要求和固定位置中无法区分，请改为可区分的名字，如 张伟A、张伟B。"));
    QCOMPARE(duplicateNamesWarning({"李娜", "张伟", "李娜", "张伟", "王芳", "李娜"}).section(u'。', 0, 0),
             QStringLiteral("名单中有重名: 李娜 ×3、张伟 ×2"));
    QVERIFY(duplicateNamesWarning({"张伟", "张伟 ", "李娜"}).isEmpty());
}

void TestRosterImport::namesSortByPinyinInAnyLocale()
{
    const QStringList expected = {"安琪", "陈静", "李娜", "王芳", "张伟", "赵磊"};
    QCOMPARE(sortedByPinyin(QStringList{"赵磊", "张伟", "王芳", "李娜", "陈静", "安琪"}), expected);
    QCOMPARE(sortedByPinyin(QSet<QString>(expected.begin(), expected.end())), expected);
}

void TestRosterImport::workbookWrittenByEngine()
{
    const SheetRows teachers = {{"教师", "科目"}, {"钱老师", "语文"}};
    const SheetRows pupils = {{"学号", "姓名", "性别", "组长", "外宿生"},
                         {"2023002", "王芳", "女", "", "是"},
                         {"2023001", "张伟", "男", "√", ""},
                         {"2023003", "赵磊", "男", "", ""}};
    const QString path = writeClassListWorkbook(dir.filePath(QStringLiteral("class.xlsx")), {{"教师", teachers}, {"学生", pupils}});

    const TableFile first = readTableFile(path);
    QCOMPARE(first.sheetNames, (QStringList{"教师", "学生"}));
    QCOMPARE(first.sheetIndex, 0);
    QVERIFY(!interpretRoster(first).canImport());

    const TableFile second = readTableFile(path, 1);
    QCOMPARE(second.sheetIndex, 1);
    const RosterImport import = interpretRoster(second);
    QCOMPARE(rosterSummary(import), QStringLiteral("张伟 赵磊|王芳|张伟|王芳"));
    QCOMPARE(import.boys.first().row, 3);
    QCOMPARE(import.boys.first().number, QStringLiteral("2023001"));
}

void TestRosterImport::workbookInlineStringsNumbersAndChartSheet()
{
    const QByteArray body =
        R"(<sheetData><row r="2"><c r="B2" t="inlineStr"><is><t>学号</t></is></c><c r="C2" t="inlineStr"><is><t>姓名</t></is></c>)"
        R"(<c r="D2" t="inlineStr"><is><t>性别(1男2女)</t></is></c></row>)"
        R"(<row r="3"><c r="B3"><v>20230102</v></c><c r="C3" t="inlineStr"><is><t>乙</t></is></c><c r="D3"><v>2</v></c></row>)"
        R"(<row r="4" customHeight="1"/>)"
        R"(<row r="5"><c r="B5"><v>20230101</v></c><c r="C5" t="inlineStr"><is><r><t>甲</t></r></is></c><c r="D5"><v>1</v></c></row>)"
        R"(</sheetData>)";
    const QString path = write(dir, QStringLiteral("inline.xlsx"), QByteArray());
    QVERIFY(writeZip(path, workbookParts({{"图表", "", "chartsheet"}, {"名单", body}})));

    const TableFile table = readTableFile(path);
    QCOMPARE(table.error, QString());
    QCOMPARE(table.sheetNames, QStringList{"名单"});
    QCOMPARE(table.rows.first().cells, (QStringList{"", "学号", "姓名", "性别(1男2女)"}));
    const RosterImport import = interpretRoster(table);
    QCOMPARE(import.headerRow, 2);
    QCOMPARE(rosterSummary(import), QStringLiteral("甲|乙||"));
    QCOMPARE(import.boys.first().row, 5);
    QCOMPARE(import.girls.first().number, QStringLiteral("20230102"));
}

void TestRosterImport::unreadableFileImportsNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    const QString zip = dir.filePath(QStringLiteral("other.zip"));
    writeZip(zip, {{QStringLiteral("readme.txt"), "姓名\n张三\n"}});
    QFile zipFile(zip);
    zipFile.open(QIODevice::ReadOnly);

    QTest::newRow("image named csv") << "photo.csv" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "是PNG 图片";
    QTest::newRow("binary without a known signature") << "data.csv" << QByteArray("\x01\x02\x03\x04garbage", 11)
                                                      << "不是表格文件";
    QTest::newRow("zip that is no workbook") << "list2.xlsx" << zipFile.readAll() << "是ZIP 压缩包";
    QTest::newRow("damaged old binary workbook") << "list.xls" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10)
                                                 << "不是有效的 xls 工作簿";
    QTest::newRow("missing file") << "" << QByteArray() << "无法打开文件";
}

void TestRosterImport::unreadableFileImportsNothing()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const QString path = name.isEmpty() ? dir.filePath(QStringLiteral("absent.csv")) : write(dir, name, bytes);
    const TableFile table = readTableFile(path);
    QVERIFY2(table.error.contains(error), qPrintable(table.error));
    QVERIFY(table.rows.isEmpty());
    const RosterImport import = interpretRoster(table);
    QCOMPARE(import.refusal, table.error);
    QVERIFY(!import.canImport());
}

QTEST_GUILESS_MAIN(TestRosterImport)
#include "test_rosterimport.moc"
