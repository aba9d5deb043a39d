// The printed seating plan: what the PDF reads back as (poppler's tools),
// where the layout puts things, what the pixels show, and the repair of the
// PDF's ToUnicode maps.
#include "pdfreadback.h"

#include "common/testenvironment.h"
#include "export/pdftounicode.h"
#include "export/planpainter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kDate = QStringLiteral("2025.10.08");

QStringList numberedNames(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.append(QStringLiteral("学生%1").arg(i, 3, 10, QLatin1Char('0')));
    return names;
}

// Groups of the given sizes filled with numbered names, each record as large as its group.
ClassModel classOfGroupSizes(const QList<int> &sizes)
{
    int total = 0;
    for (int size : sizes)
        total += size;
    ClassModel model = ClassModel::fromRoster(numberedNames(total), {});
    PersonId next = 1;
    for (int g = 0; g < kGroupCount; ++g) {
        model.groupConfigs[g].enabled = g < sizes.size();
        model.groupConfigs[g].total = int(sizes.value(g));
    }
    for (int size : sizes) {
        Group group;
        for (int seat = 0; seat < size; ++seat)
            group.append(next++);
        model.generatedGroups.append(group);
    }
    return model;
}

QString outputPath(const QString &name)
{
    QDir().mkpath(QStringLiteral(QUORVANE_PLAN_OUTPUT_DIR));
    return QStringLiteral(QUORVANE_PLAN_OUTPUT_DIR "/") + name;
}

QString writePdf(const ClassModel &model, PlanView view, const QString &name)
{
    const QString path = outputPath(name);
    const QString error = saveSeatingPlanPdf(path, seatingPlanOf(model, kDate), view);
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    return path;
}

// The layout on the PDF writer's page, as the PDF gets it.
PlanPage layOutOnA4(const SeatingPlan &plan, PlanView view)
{
    QByteArray sink;
    QBuffer buffer(&sink);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(seatingPlanPageLayout());
    return layOutSeatingPlan(plan, view, QRectF(0, 0, writer.width(), writer.height()), &writer);
}

QImage renderImage(const SeatingPlan &plan, PlanPage *page = nullptr)
{
    const qreal dpi = 150;
    QImage image(QSize(1754, 1240), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    const qreal margin = 12 * dpi / 25.4;
    const QRectF area = QRectF(QPointF(0, 0), image.size()).adjusted(margin, margin, -margin, -margin);
    const PlanPage laidOut = layOutSeatingPlan(plan, PlanView::Student, area, &image);
    QPainter painter(&image);
    paintPlanPage(painter, laidOut);
    if (page)
        *page = laidOut;
    return image;
}

const PlanBox *seatBox(const PlanPage &page, const QString &name)
{
    for (const PlanBox &box : page.boxes) {
        if (box.kind == PlanBox::Kind::Seat && box.text == name)
            return &box;
    }
    return nullptr;
}

int inkIn(const QImage &image, const QRect &rect)
{
    int ink = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
    return ink;
}

// A plan in one line: "number:seat,seat|...", leaders marked *, boarders +, empty seats _.
QString describePlan(const SeatingPlan &plan)
{
    QStringList groups;
    for (const PlanGroup &group : plan.groups) {
        QStringList seats;
        for (const PlanSeat &seat : group.seats)
            seats.append((seat.name.isEmpty() ? QStringLiteral("_") : seat.name) + (seat.leader ? "*" : "")
                         + (seat.boarder ? "+" : ""));
        groups.append(QString::number(group.number) + u':' + seats.join(u','));
    }
    return groups.join(u'|');
}

// A PDF with one ToUnicode map holding the given bfrange lines, laid out as
// Qt's writer lays it out, with a cross-reference table.
QByteArray pdfWithToUnicode(const QByteArray &ranges)
{
    const QByteArray cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                            "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n2 beginbfrange\n"
                            "<0000> <0000> <0000>\n"
        + ranges + "\nendbfrange\nendcmap\nend\nend\n";
    const QList<QByteArray> objects = {
        "<< /Type /Catalog >>",
        "<< /Length " + QByteArray::number(cmap.size()) + " >>\nstream\n" + cmap + "\nendstream",
        "<< /Type /Font /ToUnicode 2 0 R >>",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QByteArray xref = "xref\n0 4\n0000000000 65535 f \n";
    for (int i = 0; i < objects.size(); ++i) {
        xref += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const QByteArray start = QByteArray::number(pdf.size());
    return pdf + xref + "trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n" + start + "\n%%EOF\n";
}

// Every in-use cross-reference entry names the offset of its object, and
// startxref the table's; the ToUnicode stream's length is its own.
void verifyOffsets(const QByteArray &pdf)
{
    const qsizetype start = pdf.mid(pdf.lastIndexOf("startxref\n") + 10).split('\n').first().toLongLong();
    QVERIFY(pdf.mid(start).startsWith("xref\n0 4\n"));
    for (int object = 1; object <= 3; ++object) {
        const qsizetype offset = pdf.mid(start + 9 + object * 20, 10).toLongLong();
        QVERIFY2(pdf.mid(offset).startsWith(QByteArray::number(object) + " 0 obj\n"), pdf.constData());
    }
    static const QRegularExpression stream(QStringLiteral("<< /Length (\\d+) >>\\nstream\\n"));
    const QRegularExpressionMatch match = stream.match(QString::fromLatin1(pdf));
    QVERIFY(match.hasMatch());
    QVERIFY(pdf.mid(match.capturedEnd() + match.captured(1).toInt()).startsWith("\nendstream"));
}

} // namespace

class TestPlanPage : public QObject
{
    Q_OBJECT

private slots:
    // The plan's content
    void planOfGrouping_data();
    void planOfGrouping();

    // Read back from the PDF
    void demoClassReadsBack_data();
    void demoClassReadsBack();
    void podiumAndGroupsFaceTheViewer_data();
    void podiumAndGroupsFaceTheViewer();
    void largeGroupFitsOnOnePage();
    void markupNamesPrintVerbatim();
    void unwritablePathReported();

    // The page
    void seatsStayOnThePage_data();
    void seatsStayOnThePage();

    // Pixels
    void legendTellsTheTruth();

    // ToUnicode maps
    void remapRewritesToUnicode_data();
    void remapRewritesToUnicode();
    void remapLeavesForeignFilesAlone();
};

void TestPlanPage::planOfGrouping_data()
{
    QTest::addColumn<QList<bool>>("enabled");
    QTest::addColumn<QList<int>>("totals");
    QTest::addColumn<Grouping>("grouping");
    QTest::addColumn<QString>("expected");

    QTest::newRow("numbers of enabled groups, empty seats after members")
        << QList<bool>{false, true, true} << QList<int>{6, 4, 3} << Grouping{{1, 4}, {3}}
        << "2:王浩然*,刘俊杰+,_,_|3:张宇航*,_,_";
    QTest::newRow("more members than seats shows them all")
        << QList<bool>{true} << QList<int>{2} << Grouping{{1, 2, 3}} << "1:王浩然*,李子轩,张宇航*";
    QTest::newRow("enabled group without seats") << QList<bool>{true, true} << QList<int>{0, 1}
                                                 << Grouping{{}, {2}} << "1:|2:李子轩";
    QTest::newRow("new seat table: nine blank groups of six")
        << QList<bool>{true, true} << QList<int>{6, 6} << Grouping(9)
        << "1:_,_,_,_,_,_|2:_,_,_,_,_,_|3:_,_,_,_,_,_|4:_,_,_,_,_,_|5:_,_,_,_,_,_|6:_,_,_,_,_,_|7:_,_,_,_,_,_"
           "|8:_,_,_,_,_,_|9:_,_,_,_,_,_";
}

void TestPlanPage::planOfGrouping()
{
    QFETCH(QList<bool>, enabled);
    QFETCH(QList<int>, totals);
    QFETCH(Grouping, grouping);
    QFETCH(QString, expected);
    ClassModel model = loadDemoClass();
    for (int g = 0; g < kGroupCount; ++g) {
        model.groupConfigs[g].enabled = enabled.value(g, false);
        model.groupConfigs[g].total = totals.value(g, 0);
    }
    model.generatedGroups = grouping;
    // Pins never show: a fixed person prints like anyone else.
    model.fixedPositions.insert(1, FixedPosition{1, 1});
    const SeatingPlan plan = seatingPlanOf(model, kDate);
    QCOMPARE(plan.date, kDate);
    QCOMPARE(describePlan(plan), expected);
}

void TestPlanPage::demoClassReadsBack_data()
{
    QTest::addColumn<PlanView>("view");
    QTest::addColumn<QString>("file");
    QTest::newRow("学生视角") << PlanView::Student << "demo-student.pdf";
    QTest::newRow("教师视角") << PlanView::Teacher << "demo-teacher.pdf";
}

void TestPlanPage::demoClassReadsBack()
{
    QFETCH(PlanView, view);
    QFETCH(QString, file);
    const ClassModel model = loadDemoClassSeated();
    const QString path = writePdf(model, view, file);
    QVERIFY(renderPng(path));
    const PdfText text = readPdf(path);

    QCOMPARE(text.complaints, QString());
    QCOMPARE(text.pages, 1);
    for (const QString &once : {QStringLiteral("班级座位表"), kDate, QStringLiteral("讲台"),
                                QStringLiteral("粗体: 组长"), QStringLiteral("黄色: 外宿生")})
        QVERIFY2(text.plain.count(once) == 1, qPrintable(once));
    for (int group = 1; group <= 9; ++group)
        QCOMPARE(text.plain.count(QStringLiteral("第%1组").arg(group)), 1);
    for (const QString &name : model.maleNames + model.femaleNames)
        QVERIFY2(text.plain.count(name) == 1, qPrintable(name));
    // Qt's writer would name 一 黄 文 长 by their look-alike radicals.
    for (uint point : text.plain.toUcs4())
        QVERIFY2(point < 0x2E80 || point > 0x2FDF, qPrintable(QString::number(point, 16)));
}

void TestPlanPage::podiumAndGroupsFaceTheViewer_data()
{
    QTest::addColumn<PlanView>("view");
    QTest::newRow("学生视角: podium on top, group 1 front left") << PlanView::Student;
    QTest::newRow("教师视角: podium below, group 1 front right") << PlanView::Teacher;
}

void TestPlanPage::podiumAndGroupsFaceTheViewer()
{
    QFETCH(PlanView, view);
    const QString path = writePdf(loadDemoClassSeated(), view, QStringLiteral("facing.pdf"));
    const PdfText text = readPdf(path);
    const QRectF podium = wordBox(text, QStringLiteral("讲台"));
    QVERIFY(!podium.isNull());
    QList<QRectF> headers;
    for (int group = 1; group <= 9; ++group) {
        headers.append(wordBox(text, QStringLiteral("第%1组").arg(group)));
        QVERIFY(!headers.last().isNull());
    }
    const bool student = view == PlanView::Student;
    for (const QRectF &header : headers)
        QVERIFY(student ? podium.bottom() < header.top() : podium.top() > header.bottom());
    // Groups 1-3 form the row at the podium, 1 on the students' left.
    QCOMPARE(headers.at(0).center().x() < headers.at(2).center().x(), student);
    QCOMPARE(headers.at(0).center().y() < headers.at(6).center().y(), student);
    QVERIFY(qAbs(headers.at(0).center().y() - headers.at(2).center().y()) < 1);
}

void TestPlanPage::largeGroupFitsOnOnePage()
{
    const ClassModel model = classOfGroupSizes({100, 6, 6, 6, 6, 6, 6, 6, 6});
    const QString path = writePdf(model, PlanView::Student, QStringLiteral("group-of-100.pdf"));
    QVERIFY(renderPng(path));
    const PdfText text = readPdf(path);
    QCOMPARE(text.complaints, QString());
    QCOMPARE(text.pages, 1);
    for (const QString &name : model.maleNames)
        QVERIFY2(text.plain.count(name) == 1, qPrintable(name));
    QVERIFY(layOutOnA4(seatingPlanOf(model, kDate), PlanView::Student).nameSize >= 8);
}

void TestPlanPage::markupNamesPrintVerbatim()
{
    const QStringList names = {QStringLiteral("<b>甲</b>"), QStringLiteral("A&B"), QStringLiteral("&amp;"),
                               QStringLiteral("<丁>"), QStringLiteral("'戊\"")};
    ClassModel model = ClassModel::fromRoster(names, {});
    model.leaderNames.insert(names.first());
    model.generatedGroups = {{1, 2, 3}, {4, 5}};
    const PdfText text = readPdf(writePdf(model, PlanView::Student, QStringLiteral("markup.pdf")));
    for (const QString &name : names)
        QVERIFY2(text.plain.count(name) == 1, qPrintable(name));
}

void TestPlanPage::unwritablePathReported()
{
    const QString path = outputPath(QStringLiteral("no-such-folder/plan.pdf"));
    const QString error = saveSeatingPlanPdf(path, seatingPlanOf(loadDemoClassSeated(), kDate), PlanView::Student);
    QVERIFY2(error.startsWith(QStringLiteral("无法写入文件 ") + QDir::toNativeSeparators(path)), qPrintable(error));
    QVERIFY(!QFile::exists(path));
}

void TestPlanPage::seatsStayOnThePage_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<bool>("roomy"); // every name fits its cell at 8 pt or more

    QTest::newRow("nine groups of six") << QList<int>{6, 6, 6, 6, 6, 6, 6, 6, 6} << true;
    QTest::newRow("ten groups of six, the tenth below") << QList<int>{6, 6, 6, 6, 6, 6, 6, 6, 6, 6} << true;
    QTest::newRow("one group of 100 among eight of six") << QList<int>{100, 6, 6, 6, 6, 6, 6, 6, 6} << true;
    QTest::newRow("three groups of 100") << QList<int>{100, 100, 100} << true;
    QTest::newRow("a single seat") << QList<int>{1} << true;
    QTest::newRow("a group without seats") << QList<int>{0, 6, 6} << true;
    QTest::newRow("four groups, one below") << QList<int>{6, 6, 6, 6} << true;
    QTest::newRow("ten groups of 100: squeezed, nothing lost") << QList<int>(10, 100) << false;
}

void TestPlanPage::seatsStayOnThePage()
{
    QFETCH(QList<int>, sizes);
    QFETCH(bool, roomy);
    const SeatingPlan plan = seatingPlanOf(classOfGroupSizes(sizes), kDate);
    QByteArray sink;
    QBuffer buffer(&sink);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(seatingPlanPageLayout());
    const QRectF area(0, 0, writer.width(), writer.height());
    const qreal slack = 0.5;

    for (PlanView view : {PlanView::Student, PlanView::Teacher}) {
        const PlanPage page = layOutSeatingPlan(plan, view, area, &writer);
        QVERIFY(page.nameSize >= 8 && page.nameSize <= 16);
        QList<QRectF> seats;
        QList<QRectF> furniture; // title, podium, legend
        int headers = 0;
        for (const PlanBox &box : page.boxes) {
            QVERIFY(area.adjusted(-slack, -slack, slack, slack).contains(box.rect));
            if (box.kind == PlanBox::Kind::Seat) {
                seats.append(box.rect);
                if (roomy)
                    QVERIFY(QFontMetricsF(box.font, &writer).horizontalAdvance(box.text) <= box.rect.width());
            } else if (box.kind == PlanBox::Kind::GroupHeader) {
                ++headers;
            } else if (box.kind != PlanBox::Kind::Date) {
                furniture.append(box.rect);
            }
        }
        QCOMPARE(headers, sizes.size());
        QCOMPARE(seats.size(), std::accumulate(sizes.cbegin(), sizes.cend(), 0));
        for (qsizetype i = 0; i < seats.size(); ++i) {
            const QRectF inner = seats.at(i).adjusted(slack, slack, -slack, -slack);
            for (qsizetype j = i + 1; j < seats.size(); ++j)
                QVERIFY(!inner.intersects(seats.at(j)));
            for (const QRectF &other : furniture)
                QVERIFY(!inner.intersects(other));
        }
    }
}

void TestPlanPage::legendTellsTheTruth()
{
    ClassModel model = loadDemoClassSeated();
    // 王浩然 leads and does not board, 刘俊杰 boards and does not lead.
    QVERIFY(model.leaderNames.contains(QStringLiteral("王浩然")) && !model.boarderNames.contains("王浩然"));
    QVERIFY(model.boarderNames.contains(QStringLiteral("刘俊杰")) && !model.leaderNames.contains("刘俊杰"));
    PlanPage page;
    const QImage image = renderImage(seatingPlanOf(model, kDate), &page);
    image.save(outputPath(QStringLiteral("demo-student-image.png")));

    const PlanBox *boarder = seatBox(page, QStringLiteral("刘俊杰"));
    const PlanBox *plain = seatBox(page, QStringLiteral("李子轩"));
    QVERIFY(boarder && plain);
    const QPoint corner = boarder->rect.topLeft().toPoint() + QPoint(4, 4);
    QCOMPARE(QColor(image.pixel(corner)), kBoarderFill);
    QCOMPARE(QColor(image.pixel(plain->rect.topLeft().toPoint() + QPoint(4, 4))), QColor(Qt::white));

    const PlanBox *leader = seatBox(page, QStringLiteral("王浩然"));
    QVERIFY(leader);
    const QRect cell = leader->rect.toAlignedRect().adjusted(3, 3, -3, -3);
    const int boldInk = inkIn(image, cell);
    model.leaderNames.remove(QStringLiteral("王浩然"));
    const int regularInk = inkIn(renderImage(seatingPlanOf(model, kDate)), cell);
    QVERIFY2(boldInk > regularInk * 1.2, qPrintable(QStringLiteral("%1 vs %2").arg(boldInk).arg(regularInk)));
}

void TestPlanPage::remapRewritesToUnicode_data()
{
    QTest::addColumn<QByteArray>("ranges");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("one glyph") << QByteArray("<0001> <0001> <2F00>") << QByteArray("<0001> <0001> [<4E00> ]");
    QTest::newRow("array") << QByteArray("<0001> <0003> [<2F00> <0031> <2EE9> ]")
                           << QByteArray("<0001> <0003> [<4E00> <0031> <9EC4> ]");
    QTest::newRow("consecutive codes spelled out") << QByteArray("<0010> <0012> <2EFF>")
                                                   << QByteArray("<0010> <0012> [<2EFF> <4E00> <2F01> ]");
    QTest::newRow("nothing to change") << QByteArray("<0001> <0002> [<0041> <0042> ]")
                                       << QByteArray("<0001> <0002> [<0041> <0042> ]");
    QTest::newRow("two code units kept") << QByteArray("<0001> <0001> <D840DC00>")
                                         << QByteArray("<0001> <0001> <D840DC00>");
    QTest::newRow("to a supplementary character") << QByteArray("<0001> <0001> <0009>")
                                                  << QByteArray("<0001> <0001> [<D840DC00> ]");
}

void TestPlanPage::remapRewritesToUnicode()
{
    QFETCH(QByteArray, ranges);
    QFETCH(QByteArray, expected);
    const auto preferred = [](char32_t point) -> char32_t {
        switch (point) {
        case 0x2F00: return 0x4E00;
        case 0x2EE9: return 0x9EC4;
        case 0x0009: return 0x20000;
        default: return point;
        }
    };
    const QByteArray original = pdfWithToUnicode(ranges);
    const QByteArray remapped = PdfToUnicode::remap(original, preferred);
    QCOMPARE(remapped, pdfWithToUnicode(expected));
    verifyOffsets(remapped);
}

void TestPlanPage::remapLeavesForeignFilesAlone()
{
    const auto radicalToIdeograph = [](char32_t point) { return point == 0x2F00 ? char32_t(0x4E00) : point; };
    QByteArray noTable = pdfWithToUnicode("<0001> <0001> <2F00>");
    noTable.truncate(noTable.indexOf("xref\n"));
    QCOMPARE(PdfToUnicode::remap(noTable, radicalToIdeograph), noTable);
    QByteArray wrongLength = pdfWithToUnicode("<0001> <0001> <2F00>");
    wrongLength.replace("<< /Length ", "<< /Length 1");
    QCOMPARE(PdfToUnicode::remap(wrongLength, radicalToIdeograph), wrongLength);
}

QTEST_MAIN(TestPlanPage)
#include "test_planpage.moc"
