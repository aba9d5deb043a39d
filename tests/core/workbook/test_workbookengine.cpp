// The built-in workbook engine through its automation interface, on
// hand-made packages: what it reads, what it writes, what it refuses.
#include "common/readback.h"
#include "common/zipfixture.h"

#include "core/workbook/builtinengine.h"
#include "core/workbook/xlsx/package.h"
#include "core/workbook/xlsx/zipwriter.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

using Automation::ObjectPtr;

namespace {

const QByteArray kStyles =
    R"(<numFmts count="1"><numFmt numFmtId="164" formatCode="0.0"/></numFmts>)"
    R"(<fonts count="2"><font><sz val="11"/><name val="Calibri"/></font>)"
    R"(<font><i/><sz val="12"/><color rgb="FFFF0000"/><name val="楷体"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="2"><border><left/><right/><top/><bottom/><diagonal/></border>)"
    R"(<border><left style="thin"/><right style="thin"/><top style="thin"/><bottom style="thin"/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
    R"(<xf numFmtId="164" fontId="1" fillId="0" borderId="1" xfId="0" applyFont="1" applyBorder="1"/></cellXfs>)"
    R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)";

QByteArray sheetData(const QByteArray &rows, const QByteArray &before = {})
{
    return before + "<sheetData>" + rows + "</sheetData>";
}

// The automation objects down to the first sheet.
struct Opened
{
    ObjectPtr application;
    ObjectPtr workbooks;
    ObjectPtr workbook;
    ObjectPtr sheets;
    ObjectPtr sheet;

    explicit Opened(const QString &path)
    {
        application = BuiltInEngine::createApplication();
        workbooks = application->querySubObject("Workbooks");
        workbook = workbooks->querySubObject("Open(const QString&)", {QDir::toNativeSeparators(path)});
        if (!workbook)
            return;
        sheets = workbook->querySubObject("Sheets");
        sheet = sheets->querySubObject("Item(int)", {1});
    }
    QVariant value(int row, int column) const
    {
        return sheet->querySubObject("Cells(int,int)", {row, column})->property("Value");
    }
    QPair<int, int> counts() const
    {
        const ObjectPtr used = sheet->querySubObject("UsedRange");
        return {used->querySubObject("Rows")->property("Count").toInt(),
                used->querySubObject("Columns")->property("Count").toInt()};
    }
    void save(const QString &path) const { workbook->dynamicCall("SaveAs(const QString&, int)", {path, 51}); }
};

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Automation::Error &error) {
        return error.message();
    }
    return QString();
}

} // namespace

class TestWorkbookEngine : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // Reading
    void values_data();
    void values();
    void usedRangeIsTheBoxOfThePresentCells_data();
    void usedRangeIsTheBoxOfThePresentCells();
    void firstSheetInWorkbookOrder();
    void chartSheetFirstIsRefused();
    void missingFileOpensAsNull();

    // Writing
    void untouchedEntriesCopiedUnchanged();
    void formatsDerivedFromTheCellsOwnAndShared();
    void colourReadAndWrittenAsTheSpreadsheetDoes();
    void formulaReplacedDropsCalcChain();
    void sharedStringsPartCreatedWhenMissing();
    void newCellInsertedInOrder();
    void controlCharactersInNamesKeepTheWorkbookReadable();
    void formulasRecalculatedWhenOpened_data();
    void formulasRecalculatedWhenOpened();

    // Refusing
    void badTemplates_data();
    void badTemplates();
    void failedSaveLeavesNoFile();
    void truncatedArchiveIsNeverComplete();
    void saveOverTheTemplateIsRefused();

private:
    QString write(const ZipEntries &entries, const QString &name = QStringLiteral("t.xlsx"))
    {
        const QString path = m_dir->filePath(name);
        if (!writeZip(path, entries))
            qWarning("could not write %s", qPrintable(path));
        return path;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

// ---- Reading

void TestWorkbookEngine::values_data()
{
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("shared string") << QByteArray(R"(<c r="A1" t="s"><v>0</v></c>)") << QVariant(QStringLiteral("3-5"));
    QTest::newRow("rich shared string") << QByteArray(R"(<c r="A1" t="s"><v>1</v></c>)")
                                        << QVariant(QStringLiteral("第6周 XXXX.XX.XX"));
    QTest::newRow("inline string") << QByteArray(R"(<c r="A1" t="inlineStr"><is><t>1-2</t></is></c>)")
                                   << QVariant(QStringLiteral("1-2"));
    QTest::newRow("escaped control character")
        << QByteArray(R"(<c r="A1" t="inlineStr"><is><t>甲_x0007_乙_x005f_x0041_</t></is></c>)")
        << QVariant(QStringLiteral("甲\u0007乙_x0041_"));
    QTest::newRow("blank-only inline string")
        << QByteArray(R"(<c r="A1" t="inlineStr"><is><t xml:space="preserve"> </t></is></c>)") << QVariant(QStringLiteral(" "));
    QTest::newRow("number") << QByteArray(R"(<c r="A1"><v>12</v></c>)") << QVariant(12.0);
    QTest::newRow("boolean") << QByteArray(R"(<c r="A1" t="b"><v>1</v></c>)") << QVariant(true);
    QTest::newRow("cached formula text") << QByteArray(R"(<c r="A1" t="str"><f>"2-"&amp;"1"</f><v>2-1</v></c>)")
                                         << QVariant(QStringLiteral("2-1"));
    QTest::newRow("cached formula number") << QByteArray(R"(<c r="A1"><f>1+1</f><v>2</v></c>)") << QVariant(2.0);
    QTest::newRow("format only") << QByteArray(R"(<c r="A1" s="1"/>)") << QVariant();
    QTest::newRow("absent") << QByteArray(R"(<c r="B1"><v>1</v></c>)") << QVariant();
}

void TestWorkbookEngine::values()
{
    QFETCH(QByteArray, cell);
    QFETCH(QVariant, expected);
    const QByteArray strings = R"(<si><t>3-5</t></si><si><r><t>第6周 </t></r><r><rPr><b/></rPr><t>XXXX.XX.XX</t></r>)"
                               R"(<rPh sb="0" eb="1"><t>ディ</t></rPh></si>)";
    const QString path = write(workbookParts({{"S", sheetData("<row r=\"1\">" + cell + "</row>")}}, strings, kStyles));
    const Opened opened(path);
    QVERIFY(opened.sheet);
    QCOMPARE(opened.value(1, 1), expected);
}

void TestWorkbookEngine::usedRangeIsTheBoxOfThePresentCells_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::newRow("stale dimension") << sheetData(R"(<row r="2"><c r="B2"><v>1</v></c></row><row r="4"><c r="C4" s="1"/></row>)",
                                                  R"(<dimension ref="A1:Z100"/>)")
                                     << 3 << 2;
    QTest::newRow("empty sheet") << sheetData("") << 1 << 1;
    QTest::newRow("positions implied") << sheetData(R"(<row><c><v>1</v></c><c><v>2</v></c></row><row><c><v>3</v></c></row>)")
                                       << 2 << 2;
    QTest::newRow("empty rows ignored") << sheetData(R"(<row r="1" ht="30"/><row r="3"><c r="E3"><v>1</v></c></row>)") << 1 << 1;
}

void TestWorkbookEngine::usedRangeIsTheBoxOfThePresentCells()
{
    QFETCH(QByteArray, body);
    QFETCH(int, rows);
    QFETCH(int, columns);
    const Opened opened(write(workbookParts({{"S", body}}, {}, kStyles)));
    QCOMPARE(opened.counts(), qMakePair(rows, columns));
}

void TestWorkbookEngine::firstSheetInWorkbookOrder()
{
    // The part named sheet1 is listed second in the workbook.
    ZipEntries entries = workbookParts({{"前", sheetData(R"(<row r="1"><c r="A1"><v>2</v></c></row>)")},
                                        {"后", sheetData(R"(<row r="1"><c r="A1"><v>1</v></c></row>)")}});
    QByteArray &workbook = entries[2].second;
    workbook.replace("r:id=\"rId1\"", "r:id=\"rIdX\"").replace("r:id=\"rId2\"", "r:id=\"rId1\"").replace("r:id=\"rIdX\"", "r:id=\"rId2\"");
    const Opened opened(write(entries));
    QCOMPARE(opened.value(1, 1), QVariant(1.0));
}

void TestWorkbookEngine::chartSheetFirstIsRefused()
{
    const QString path = write(workbookParts({{"图表", "<sheetViews/>", "chartsheet"}, {"S", sheetData("")}}));
    const ObjectPtr application = BuiltInEngine::createApplication();
    const ObjectPtr book = application->querySubObject("Workbooks")->querySubObject("Open(const QString&)", {path});
    const ObjectPtr sheets = book->querySubObject("Sheets");
    QVERIFY(errorOf([&] { sheets->querySubObject("Item(int)", {1}); }).contains(QStringLiteral("不是普通工作表")));
    QVERIFY(sheets->querySubObject("Item(int)", {2}));
    QVERIFY(!sheets->querySubObject("Item(int)", {3}));
}

void TestWorkbookEngine::missingFileOpensAsNull()
{
    const ObjectPtr application = BuiltInEngine::createApplication();
    QVERIFY(!application->querySubObject("Workbooks")->querySubObject("Open(const QString&)",
                                                                       {m_dir->filePath(QStringLiteral("none.xlsx"))}));
}

// ---- Writing

void TestWorkbookEngine::untouchedEntriesCopiedUnchanged()
{
    ZipEntries entries = workbookParts({{"S", sheetData(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)")},
                                        {"T", sheetData(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)")}},
                                       R"(<si><t>1-1</t></si>)", kStyles);
    entries.append({QStringLiteral("xl/media/image1.png"), QByteArray(5000, '\x7f')});
    entries.append({QStringLiteral("xl/media/座位图.bin"), QByteArray("名字不是 ASCII")});
    const QString path = write(entries);
    const QByteArray digest = fileDigest(path);
    const Opened opened(path);
    opened.sheet->querySubObject("Cells(int,int)", {1, 1})->setProperty("Value", QStringLiteral("王浩然"));
    const QString output = m_dir->filePath(QStringLiteral("out.xlsx"));
    opened.save(output);
    QCOMPARE(fileDigest(path), digest);

    const ZipEntries saved = readZip(output);
    QCOMPARE(saved.size(), entries.size());
    const QStringList changed{QStringLiteral("xl/worksheets/sheet1.xml"), QStringLiteral("xl/sharedStrings.xml")};
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(saved.at(i).first, entries.at(i).first);
        if (!changed.contains(entries.at(i).first))
            QVERIFY2(saved.at(i).second == entries.at(i).second, qPrintable(entries.at(i).first));
    }
    // The second sheet still shows the shared string the first one replaced.
    const Opened reopened(output);
    QCOMPARE(reopened.value(1, 1), QVariant(QStringLiteral("王浩然")));
    const ObjectPtr second = reopened.sheets->querySubObject("Item(int)", {2});
    QCOMPARE(second->querySubObject("Cells(int,int)", {1, 1})->property("Value"), QVariant(QStringLiteral("1-1")));
}

void TestWorkbookEngine::formatsDerivedFromTheCellsOwnAndShared()
{
    const QString path = write(workbookParts(
        {{"S", sheetData(R"(<row r="1"><c r="A1" s="1"><v>1</v></c><c r="B1" s="1"><v>2</v></c><c r="C1"><v>3</v></c></row>)")}},
        {}, kStyles));
    auto format = [](Automation::Object &sheet, int column) {
        const ObjectPtr cell = sheet.querySubObject("Cells(int,int)", {1, column});
        cell->setProperty("HorizontalAlignment", -4108);
        cell->setProperty("VerticalAlignment", -4108);
        cell->setProperty("WrapText", true);
        const ObjectPtr font = cell->querySubObject("Font");
        font->setProperty("Size", 16);
        font->setProperty("Bold", true);
    };
    const QString once = m_dir->filePath(QStringLiteral("once.xlsx"));
    const QString twice = m_dir->filePath(QStringLiteral("twice.xlsx"));
    {
        const Opened opened(path);
        format(*opened.sheet, 1);
        opened.save(once);
        format(*opened.sheet, 2);
        opened.save(twice);
    }
    // The second cell with the same format and the same changes adds nothing.
    QCOMPARE(zipEntry(readZip(twice), QStringLiteral("xl/styles.xml")), zipEntry(readZip(once), QStringLiteral("xl/styles.xml")));

    const Opened reopened(twice);
    for (int column : {1, 2}) {
        const ObjectPtr cell = reopened.sheet->querySubObject("Cells(int,int)", {1, column});
        QCOMPARE(cell->property("HorizontalAlignment").toInt(), -4108);
        QCOMPARE(cell->property("VerticalAlignment").toInt(), -4108);
        QCOMPARE(cell->property("WrapText").toBool(), true);
        QCOMPARE(cell->querySubObject("Font")->property("Size").toDouble(), 16.0);
        QCOMPARE(cell->querySubObject("Font")->property("Bold").toBool(), true);
    }
    const ObjectPtr plain = reopened.sheet->querySubObject("Cells(int,int)", {1, 3});
    QCOMPARE(plain->querySubObject("Font")->property("Bold").toBool(), false);
    QCOMPARE(plain->property("VerticalAlignment").toInt(), -4107);

    // Font name, colour, italics, border and number format of the cell survive.
    const QJsonObject cell = readBack(twice).value(QStringLiteral("sheets")).toArray().at(0).toObject()
                                 .value(QStringLiteral("cells")).toObject().value(QStringLiteral("B1")).toObject();
    QCOMPARE(cell.value(QStringLiteral("fontName")).toString(), QStringLiteral("楷体"));
    QCOMPARE(cell.value(QStringLiteral("fontColor")).toString(), QStringLiteral("FFFF0000"));
    QCOMPARE(cell.value(QStringLiteral("numberFormat")).toString(), QStringLiteral("0.0"));
    QCOMPARE(cell.value(QStringLiteral("border")).toArray().at(0).toString(), QStringLiteral("thin"));
    QCOMPARE(cell.value(QStringLiteral("size")).toDouble(), 16.0);
    QCOMPARE(cell.value(QStringLiteral("bold")).toBool(), true);
}

void TestWorkbookEngine::colourReadAndWrittenAsTheSpreadsheetDoes()
{
    const QString path = write(workbookParts({{"S", sheetData(R"(<row r="1"><c r="A1"/><c r="B1"/></row>)")}}, {}, kStyles));
    const QString output = m_dir->filePath(QStringLiteral("out.xlsx"));
    {
        const Opened opened(path);
        const ObjectPtr interior = opened.sheet->querySubObject("Cells(int,int)", {1, 1})->querySubObject("Interior");
        QCOMPARE(interior->property("Color").toInt(), 0xFFFFFF); // no fill reads as white
        interior->setProperty("Color", 65535);
        QCOMPARE(interior->property("Color").toInt(), 65535);
        // The toolkit's ARGB is no colour to a spreadsheet.
        const ObjectPtr other = opened.sheet->querySubObject("Cells(int,int)", {1, 2})->querySubObject("Interior");
        QVERIFY(errorOf([&] { other->setProperty("Color", 0xFFFFFF00u); }).contains(QStringLiteral("无效的颜色值")));
        opened.sheet->querySubObject("Cells(int,int)", {1, 2})->querySubObject("Interior")->setProperty("Color", 0xFF0000);
        opened.save(output);
    }
    const QJsonObject cells = readBack(output).value(QStringLiteral("sheets")).toArray().at(0).toObject()
                                  .value(QStringLiteral("cells")).toObject();
    QCOMPARE(cells.value(QStringLiteral("A1")).toObject().value(QStringLiteral("fill")).toString(), QStringLiteral("FFFFFF00"));
    QCOMPARE(cells.value(QStringLiteral("B1")).toObject().value(QStringLiteral("fill")).toString(), QStringLiteral("FF0000FF"));
}

void TestWorkbookEngine::formulaReplacedDropsCalcChain()
{
    const QString path =
        write(workbookParts({{"S", sheetData(R"(<row r="1"><c r="A1" t="str"><f>"1-"&amp;"1"</f><v>1-1</v></c></row>)")}},
                            {}, kStyles, true));
    const QString output = m_dir->filePath(QStringLiteral("out.xlsx"));
    {
        const Opened opened(path);
        opened.sheet->querySubObject("Cells(int,int)", {1, 1})->setProperty("Value", QStringLiteral("甲"));
        opened.save(output);
    }
    const ZipEntries saved = readZip(output);
    QVERIFY(zipEntry(saved, QStringLiteral("xl/calcChain.xml")).isNull());
    QVERIFY(!zipEntry(saved, QStringLiteral("[Content_Types].xml")).contains("calcChain"));
    QVERIFY(!zipEntry(saved, QStringLiteral("xl/_rels/workbook.xml.rels")).contains("calcChain"));
    QVERIFY(!zipEntry(saved, QStringLiteral("xl/worksheets/sheet1.xml")).contains("<f>"));
    QCOMPARE(readBack(output).value(QStringLiteral("sheets")).toArray().at(0).toObject().value(QStringLiteral("cells"))
                 .toObject().value(QStringLiteral("A1")).toObject().value(QStringLiteral("value")).toString(),
             QStringLiteral("甲"));
}

void TestWorkbookEngine::sharedStringsPartCreatedWhenMissing()
{
    // No shared strings and no styles: both parts are added with their
    // relationships and content types.
    const QString path = write(workbookParts({{"S", sheetData(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>1-1</t></is></c></row>)")}}));
    const QString output = m_dir->filePath(QStringLiteral("out.xlsx"));
    {
        const Opened opened(path);
        const ObjectPtr cell = opened.sheet->querySubObject("Cells(int,int)", {1, 1});
        cell->setProperty("Value", QStringLiteral("甲"));
        cell->querySubObject("Font")->setProperty("Bold", true);
        opened.save(output);
    }
    const ZipEntries saved = readZip(output);
    QVERIFY(zipEntry(saved, QStringLiteral("[Content_Types].xml")).contains("/xl/sharedStrings.xml"));
    QVERIFY(zipEntry(saved, QStringLiteral("[Content_Types].xml")).contains("/xl/styles.xml"));
    const QJsonObject a1 = readBack(output).value(QStringLiteral("sheets")).toArray().at(0).toObject()
                               .value(QStringLiteral("cells")).toObject().value(QStringLiteral("A1")).toObject();
    QCOMPARE(a1.value(QStringLiteral("value")).toString(), QStringLiteral("甲"));
    QCOMPARE(a1.value(QStringLiteral("bold")).toBool(), true);
}

void TestWorkbookEngine::newCellInsertedInOrder()
{
    const QString path = write(workbookParts({{"S", sheetData(R"(<row r="2"><c r="A2"><v>1</v></c><c r="C2"><v>3</v></c></row>)",
                                                              R"(<dimension ref="A2:C2"/>)")}}));
    const QString output = m_dir->filePath(QStringLiteral("out.xlsx"));
    {
        const Opened opened(path);
        // Looked at while absent, then written and read again.
        QCOMPARE(opened.value(2, 2), QVariant());
        opened.sheet->querySubObject("Cells(int,int)", {2, 2})->setProperty("Value", QStringLiteral("乙"));
        QCOMPARE(opened.value(2, 2), QVariant(QStringLiteral("乙")));
        opened.sheet->querySubObject("Cells(int,int)", {1, 4})->setProperty("Value", QStringLiteral("甲"));
        opened.save(output);
    }
    const QByteArray xml = zipEntry(readZip(output), QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(xml.contains(R"(<dimension ref="A1:D2"/>)"));
    QVERIFY(xml.indexOf(R"(r="D1")") < xml.indexOf(R"(r="A2")"));
    QVERIFY(xml.indexOf(R"(r="A2")") < xml.indexOf(R"(r="B2")"));
    QVERIFY(xml.indexOf(R"(r="B2")") < xml.indexOf(R"(r="C2")"));
    const Opened reopened(output);
    QCOMPARE(reopened.value(2, 2), QVariant(QStringLiteral("乙")));
    QCOMPARE(reopened.counts(), qMakePair(2, 4));
}

void TestWorkbookEngine::controlCharactersInNamesKeepTheWorkbookReadable()
{
    const struct
    {
        QString name;
        QByteArray written;
    } names[] = {
        {QStringLiteral("王\u0007浩然"), "王_x0007_浩然"},
        {QString(QChar(0)) + QStringLiteral("甲\u001F\u000B"), "_x0000_甲_x001F__x000B_"},
        {QStringLiteral("_x0041_ and _x12G4"), "_x005F_x0041_ and _x12G4"},
        {QStringLiteral("甲\t乙\n丙"), "甲\t乙\n丙"},
        {QStringLiteral("\uFFFF") + QChar(0xD800) + QStringLiteral("乙"), "_xFFFF__xD800_乙"},
    };
    QByteArray rows;
    for (int i = 1; i <= int(std::size(names)); ++i)
        rows += "<row r=\"" + QByteArray::number(i) + "\"><c r=\"A" + QByteArray::number(i) + "\"><v>1</v></c></row>";
    const QString path = write(workbookParts({{"S", sheetData(rows)}}));
    const QString output = m_dir->filePath(QStringLiteral("out.xlsx"));
    {
        const Opened opened(path);
        for (int i = 0; i < int(std::size(names)); ++i)
            opened.sheet->querySubObject("Cells(int,int)", {i + 1, 1})->setProperty("Value", names[i].name);
        opened.save(output);
    }
    const QByteArray strings = zipEntry(readZip(output), QStringLiteral("xl/sharedStrings.xml"));
    const Opened reopened(output);
    for (int i = 0; i < int(std::size(names)); ++i) {
        QVERIFY2(strings.contains(">" + names[i].written + "</t>"), names[i].written.constData());
        QCOMPARE(reopened.value(i + 1, 1).toString(), names[i].name);
    }
    // An XML parser that keeps to XML 1.0 accepts the file.
    QVERIFY(!readBack(output).isEmpty());
}

void TestWorkbookEngine::formulasRecalculatedWhenOpened_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QByteArray>("workbookTail"); // after </sheets>
    QTest::addColumn<QByteArray>("calcPr");       // expected; empty: workbook.xml unchanged
    const QByteArray marker = R"(<c r="A1" t="s"><v>0</v></c>)";
    const QByteArray count = R"(<c r="B1"><f>COUNTA(A1:A3)</f><v>7</v></c>)";
    QTest::newRow("no formula") << marker << QByteArray(R"(<c r="A1"><v>2</v></c>)") << QByteArray() << QByteArray();
    QTest::newRow("count over the seats") << marker + count << QByteArray() << QByteArray()
                                          << QByteArray(R"(</sheets><calcPr fullCalcOnLoad="1"/></workbook>)");
    QTest::newRow("formula on another sheet")
        << marker << QByteArray(R"(<c r="A1"><x:f xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
                                R"(COUNTA(S!A1:A3)</x:f><v>1</v></c>)")
        << QByteArray() << QByteArray(R"(</sheets><calcPr fullCalcOnLoad="1"/></workbook>)");
    QTest::newRow("calculation properties kept")
        << marker + count << QByteArray()
        << QByteArray(R"(<definedNames><definedName name="座">S!$A$1</definedName></definedNames><calcPr calcId="191029"/>)"
                      R"(<extLst/>)")
        << QByteArray(R"(</definedNames><calcPr calcId="191029" fullCalcOnLoad="1"/><extLst/>)");
    QTest::newRow("placed before what follows it")
        << marker + count << QByteArray() << QByteArray(R"(<fileRecoveryPr repairLoad="1"/>)")
        << QByteArray(R"(</sheets><calcPr fullCalcOnLoad="1"/><fileRecoveryPr repairLoad="1"/>)");
}

void TestWorkbookEngine::formulasRecalculatedWhenOpened()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(QByteArray, workbookTail);
    QFETCH(QByteArray, calcPr);
    ZipEntries entries = workbookParts({{"S", sheetData("<row r=\"1\">" + first + "</row>")},
                                        {"T", sheetData("<row r=\"1\">" + second + "</row>")}},
                                       R"(<si><t>1-1</t></si>)");
    entries[2].second.replace("</sheets>", "</sheets>" + workbookTail);
    const QString path = write(entries);
    const QString output = m_dir->filePath(QStringLiteral("out.xlsx"));
    {
        const Opened opened(path);
        opened.sheet->querySubObject("Cells(int,int)", {1, 1})->setProperty("Value", QStringLiteral("甲"));
        opened.save(output);
    }
    const ZipEntries saved = readZip(output);
    const QByteArray workbook = zipEntry(saved, QStringLiteral("xl/workbook.xml"));
    if (calcPr.isEmpty()) {
        QCOMPARE(workbook, entries[2].second);
    } else {
        QVERIFY2(workbook.contains(calcPr), workbook.constData());
        QCOMPARE(workbook.count("calcPr"), 1);
    }
    // The count over the seats keeps its formula but loses its stale result.
    const QByteArray sheet = zipEntry(saved, QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(!sheet.contains("<v>7</v>"));
    QCOMPARE(sheet.contains("<f>COUNTA(A1:A3)</f>"), first.contains("COUNTA"));
    QCOMPARE(zipEntry(saved, QStringLiteral("xl/worksheets/sheet2.xml")), zipEntry(entries, QStringLiteral("xl/worksheets/sheet2.xml")));
    QVERIFY(!readBack(output).isEmpty());
}

// ---- Refusing

void TestWorkbookEngine::badTemplates_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no content types") << "no content types" << "缺少 [Content_Types].xml";
    QTest::newRow("no workbook part") << "no workbook" << "缺少工作簿部件";
    QTest::newRow("malformed sheet") << "malformed sheet" << "xl/worksheets/sheet1.xml 不是有效的 XML";
    QTest::newRow("malformed shared strings") << "malformed strings" << "xl/sharedStrings.xml 不是有效的 XML";
    QTest::newRow("cell reference out of the sheet") << "bad reference" << "无效的单元格引用 A1048577";
    QTest::newRow("shared string index out of range") << "bad string index" << "引用了不存在的共享字符串";
    QTest::newRow("inflates out of proportion") << "bomb" << "解压后大小异常";
    // Refused after the archive was opened: it must be released all the same.
    QTest::newRow("too many entries, archive released") << "crowded" << "条目过多";
    QTest::newRow("absurd used range") << "huge range" << "已用区域过大";
}

void TestWorkbookEngine::badTemplates()
{
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    QByteArray rows = R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)";
    if (damage == QLatin1String("bad reference"))
        rows = R"(<row r="1"><c r="A1048577"><v>1</v></c></row>)";
    if (damage == QLatin1String("bad string index"))
        rows = R"(<row r="1"><c r="A1" t="s"><v>7</v></c></row>)";
    if (damage == QLatin1String("huge range"))
        rows = R"(<row r="1"><c r="A1"><v>1</v></c></row><row r="1048576"><c r="XFD1048576" s="0"/></row>)";
    ZipEntries entries = workbookParts({{"S", sheetData(rows)}}, R"(<si><t>1-1</t></si>)");
    auto replace = [&](const QString &name, const QByteArray &data) {
        for (auto &entry : entries) {
            if (entry.first == name)
                entry.second = data;
        }
    };
    if (damage == QLatin1String("no content types"))
        entries.removeFirst();
    if (damage == QLatin1String("no workbook"))
        entries.removeAt(2);
    if (damage == QLatin1String("malformed sheet"))
        replace(QStringLiteral("xl/worksheets/sheet1.xml"), "<worksheet><sheetData><row></sheetData>");
    if (damage == QLatin1String("malformed strings"))
        replace(QStringLiteral("xl/sharedStrings.xml"), "<sst><si><t>1-1</si></sst>");
    if (damage == QLatin1String("bomb"))
        entries.append({QStringLiteral("xl/media/zeros.bin"), QByteArray(4 * 1024 * 1024, '\0')});
    for (int i = 0; damage == QLatin1String("crowded") && entries.size() <= Xlsx::Package::kMaxEntries; ++i)
        entries.append({QStringLiteral("xl/media/%1.bin").arg(i), QByteArray()});
    const QString path = write(entries);
    const QByteArray digest = fileDigest(path);

    const QString message = errorOf([&] {
        const Opened opened(path);
        QVERIFY(opened.sheet);
        opened.value(1, 1);
        opened.counts();
    });
    QVERIFY2(message.contains(reason), qPrintable(message));
    QCOMPARE(fileDigest(path), digest);
}

void TestWorkbookEngine::failedSaveLeavesNoFile()
{
    const QString path = write(workbookParts({{"S", sheetData("")}}));
    const Opened opened(path);
    const QString target = m_dir->filePath(QStringLiteral("missing/out.xlsx"));
    QVERIFY(errorOf([&] { opened.save(target); }).contains(QStringLiteral("无法写入文件")));
    QVERIFY(!QFile::exists(target));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("t.xlsx")});
    QVERIFY(errorOf([&] { opened.workbook->dynamicCall("SaveAs(const QString&, int)", {m_dir->filePath("x.xls"), 56}); })
                .contains(QStringLiteral("只能保存为 xlsx")));
}

void TestWorkbookEngine::truncatedArchiveIsNeverComplete()
{
    const QString path = write(workbookParts({{"S", sheetData(R"(<row r="1"><c r="A1"><v>1</v></c></row>)")}}));
    const QString output = m_dir->filePath(QStringLiteral("out.xlsx"));
    {
        const Opened opened(path);
        opened.sheet->querySubObject("Cells(int,int)", {1, 1})->setProperty("Value", QStringLiteral("甲"));
        opened.save(output);
    }
    for (const QString &archive : {path, output}) {
        QFile file(archive);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(Xlsx::isCompleteZip(bytes, "[Content_Types].xml"));
        QVERIFY(!Xlsx::isCompleteZip(bytes, "xl/missing.xml"));
        for (qsizetype size = 0; size < bytes.size(); ++size)
            QVERIFY2(!Xlsx::isCompleteZip(bytes.left(size), "[Content_Types].xml"), qPrintable(QString::number(size)));
    }
}

void TestWorkbookEngine::saveOverTheTemplateIsRefused()
{
    const QString path = write(workbookParts({{"S", sheetData(R"(<row r="1"><c r="A1"><v>1</v></c></row>)")}}));
    const QByteArray digest = fileDigest(path);
    const Opened opened(path);
    opened.sheet->querySubObject("Cells(int,int)", {1, 1})->setProperty("Value", QStringLiteral("甲"));
    QVERIFY(errorOf([&] { opened.save(path); }).contains(QStringLiteral("不能覆盖模板文件")));
    QCOMPARE(fileDigest(path), digest);
}

QTEST_GUILESS_MAIN(TestWorkbookEngine)
#include "test_workbookengine.moc"
