// The printed seating plan: what its PDF reads back as (poppler's tools),
// where the layout puts things, what the pixels show, and the repair of the
// PDF's ToUnicode maps.
#include "common/pdfreadback.h"

#include "common/testenvironment.h"
#include "print/pdftounicode.h"
#include "print/planpainter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTest>

#include <numeric>

namespace {

const QString kDate = QStringLiteral("2025.10.08");

// Groups of the given sizes, filled with numbered names, each record as large as its group.
ClassModel classOfGroupSizes(const QList<int> &sizes)
{
    QStringList names;
    for (int i = 1; i <= std::accumulate(sizes.cbegin(), sizes.cend(), 0); ++i)
        names.append(QStringLiteral("学生%1").arg(i, 3, 10, QLatin1Char('0')));
    ClassModel model = ClassModel::fromRoster(names, {});
    PersonId next = 1;
    for (int g = 0; g < kGroupCount; ++g) {
        model.groupConfigs[g] = {g < sizes.size(), int(sizes.value(g)), 0, 0};
        if (g < sizes.size())
            model.generatedGroups.append(Group());
        for (int seat = 0; seat < sizes.value(g); ++seat)
            model.generatedGroups.last().append(next++);
    }
    return model;
}

QString outputPath(const QString &name)
{
    QDir().mkpath(QStringLiteral(QUORVANE_PLAN_OUTPUT_DIR));
    return QStringLiteral(QUORVANE_PLAN_OUTPUT_DIR "/") + name;
}

QImage renderImage(const SeatingPlan &plan, PlanPage &page)
{
    const qreal dpi = 150;
    QImage image(QSize(1754, 1240), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    const qreal margin = 12 * dpi / 25.4;
    page = layOutSeatingPlan(plan, PlanView::Student, QRectF(QPointF(0, 0), image.size()).adjusted(
                                                          margin, margin, -margin, -margin), &image);
    QPainter painter(&image);
    paintPlanPage(painter, page);
    return image;
}

QRect seatRect(const PlanPage &page, const QString &name)
{
    for (const PlanBox &box : page.boxes) {
        if (box.kind == PlanBox::Kind::Seat && box.text == name)
            return box.rect.toAlignedRect().adjusted(3, 3, -3, -3);
    }
    return {};
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

// A PDF with one ToUnicode map holding these bfrange lines, laid out as Qt's
// writer lays it out, with its cross-reference table.
QByteArray pdfWithToUnicode(const QByteArray &ranges)
{
    const QByteArray cmap = "/CIDInit /ProcSet findresource begin\nbegincmap\n1 beginbfrange\n" + ranges
        + "\nendbfrange\nendcmap\nend\n";
    const QByteArrayList objects = {"<< /Type /Catalog >>",
                                    "<< /Length " + QByteArray::number(cmap.size()) + " >>\nstream\n" + cmap
                                        + "\nendstream",
                                    "<< /Type /Font /ToUnicode 2 0 R >>"};
    QByteArray pdf = "%PDF-1.4\n";
    QByteArray xref = "xref\n0 4\n0000000000 65535 f \n";
    for (int i = 0; i < objects.size(); ++i) {
        xref += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    return pdf + xref + "trailer\n<< /Size 4 >>\nstartxref\n" + QByteArray::number(pdf.size()) + "\n%%EOF\n";
}

} // namespace

class TestPlanPage : public QObject
{
    Q_OBJECT

private slots:
    void planOfGrouping_data();
    void planOfGrouping();
    void planReadsBack_data();
    void planReadsBack();
    void unwritablePathReported();
    void seatsStayOnThePage_data();
    void seatsStayOnThePage();
    void legendTellsTheTruth();
    void remapRewritesToUnicode_data();
    void remapRewritesToUnicode();
};

void TestPlanPage::planOfGrouping_data()
{
    QTest::addColumn<QList<int>>("totals"); // 0: disabled
    QTest::addColumn<Grouping>("grouping");
    QTest::addColumn<QString>("expected"); // number:seats, leaders *, boarders +, empty _
    QTest::newRow("group numbers, empty seats after members")
        << QList<int>{0, 4, 3} << Grouping{{1, 4}, {3}} << "2:王浩然*,刘俊杰+,_,_|3:张宇航*,_,_";
    QTest::newRow("more members than seats") << QList<int>{2} << Grouping{{1, 2, 3}} << "1:王浩然*,李子轩,张宇航*";
    QTest::newRow("new seat table: nine blank groups of six") << QList<int>{6} << Grouping(9)
        << "1:_,_,_,_,_,_|2:_,_,_,_,_,_|3:_,_,_,_,_,_|4:_,_,_,_,_,_|5:_,_,_,_,_,_|6:_,_,_,_,_,_|7:_,_,_,_,_,_"
           "|8:_,_,_,_,_,_|9:_,_,_,_,_,_";
}

void TestPlanPage::planOfGrouping()
{
    QFETCH(QList<int>, totals);
    QFETCH(Grouping, grouping);
    QFETCH(QString, expected);
    ClassModel model = loadDemoClass();
    for (int g = 0; g < kGroupCount; ++g)
        model.groupConfigs[g] = {totals.value(g) > 0, totals.value(g), 0, 0};
    model.generatedGroups = grouping;
    const SeatingPlan plan = seatingPlanOf(model, kDate);
    QStringList groups;
    for (const PlanGroup &group : plan.groups) {
        QStringList seats;
        for (const PlanSeat &seat : group.seats)
            seats << (seat.name.isEmpty() ? "_" : seat.name) + (seat.leader ? "*" : "") + (seat.boarder ? "+" : "");
        groups << QString::number(group.number) + u':' + seats.join(u',');
    }
    QCOMPARE(groups.join(u'|'), expected);
    QCOMPARE(plan.date, kDate);
}

void TestPlanPage::planReadsBack_data()
{
    QTest::addColumn<ClassModel>("model");
    QTest::addColumn<PlanView>("view");
    QTest::addColumn<QString>("file");
    const QStringList markup = {"<b>甲</b>", "A&B", "&amp;", "<丁>", "'戊\""};
    ClassModel markupClass = ClassModel::fromRoster(markup, {});
    markupClass.generatedGroups = {{1, 2, 3}, {4, 5}};
    QTest::newRow("demo, 学生视角") << loadDemoClassSeated() << PlanView::Student << "demo-student.pdf";
    QTest::newRow("demo, 教师视角") << loadDemoClassSeated() << PlanView::Teacher << "demo-teacher.pdf";
    QTest::newRow("a group of 100") << classOfGroupSizes({100, 6, 6, 6, 6, 6, 6, 6, 6}) << PlanView::Student
                                    << "group-of-100.pdf";
    QTest::newRow("names with markup print verbatim") << markupClass << PlanView::Teacher << "markup.pdf";
}

void TestPlanPage::planReadsBack()
{
    QFETCH(ClassModel, model);
    QFETCH(PlanView, view);
    QFETCH(QString, file);
    const QString path = outputPath(file);
    QCOMPARE(saveSeatingPlanPdf(path, seatingPlanOf(model, kDate), view), QString());
    QVERIFY(renderPng(path));
    const PdfText text = readPdf(path);
    QCOMPARE(text.complaints, QString());
    QCOMPARE(text.pages, 1);

    QStringList once = {"班级座位表", kDate, "讲台", "粗体: 组长", "黄色: 外宿生"};
    for (int group = 1; group <= model.generatedGroups.size(); ++group)
        once << QStringLiteral("第%1组").arg(group);
    for (const QString &expected : once + model.maleNames + model.femaleNames)
        QVERIFY2(text.plain.count(expected) == 1, qPrintable(expected));
    // Qt's writer alone would name 一 黄 文 长 生 by their look-alike radicals.
    for (uint point : text.plain.toUcs4())
        QVERIFY2(point < 0x2E80 || point > 0x2FDF, qPrintable(QString::number(point, 16)));

    // The podium faces the viewer; group 1 sits at the podium, on the students' left.
    const bool student = view == PlanView::Student;
    const QRectF podium = text.words.value("讲台");
    const QRectF first = text.words.value("第1组");
    QVERIFY(student ? podium.bottom() < first.top() : podium.top() > first.bottom());
    QCOMPARE(first.center().x() < text.words.value("第2组").center().x(), student);
    if (model.generatedGroups.size() >= 4)
        QCOMPARE(first.center().y() < text.words.value("第4组").center().y(), student);
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
    QTest::addColumn<bool>("roomy"); // every name fits its cell
    QTest::newRow("nine groups of six") << QList<int>(9, 6) << true;
    QTest::newRow("ten groups of six, the tenth below") << QList<int>(10, 6) << true;
    QTest::newRow("three groups of 100") << QList<int>(3, 100) << true;
    QTest::newRow("a single seat") << QList<int>{1} << true;
    QTest::newRow("a group without seats, four groups") << QList<int>{0, 6, 6, 6} << true;
    QTest::newRow("ten groups of 100: squeezed, nothing lost") << QList<int>(10, 100) << false;
}

void TestPlanPage::seatsStayOnThePage()
{
    QFETCH(QList<int>, sizes);
    QFETCH(bool, roomy);
    const SeatingPlan plan = seatingPlanOf(classOfGroupSizes(sizes), kDate);
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    QPdfWriter writer(&sink);
    writer.setPageLayout(seatingPlanPageLayout());
    const QRectF area(0, 0, writer.width(), writer.height());
    for (PlanView view : {PlanView::Student, PlanView::Teacher}) {
        const PlanPage page = layOutSeatingPlan(plan, view, area, &writer);
        QVERIFY(page.nameSize >= 8 && page.nameSize <= 16);
        QList<QRectF> seats;
        QList<QRectF> others; // title, podium, legend, headers
        for (const PlanBox &box : page.boxes) {
            QVERIFY(area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(box.rect));
            (box.kind == PlanBox::Kind::Seat ? seats : others).append(box.rect);
            if (box.kind == PlanBox::Kind::Seat && roomy)
                QVERIFY(QFontMetricsF(box.font, &writer).horizontalAdvance(box.text) <= box.rect.width());
        }
        QCOMPARE(seats.size(), std::accumulate(sizes.cbegin(), sizes.cend(), 0));
        QCOMPARE(others.size(), 4 + sizes.size());
        for (qsizetype i = 0; i < seats.size(); ++i) {
            const QRectF inner = seats.at(i).adjusted(0.5, 0.5, -0.5, -0.5);
            for (qsizetype j = i + 1; j < seats.size(); ++j)
                QVERIFY(!inner.intersects(seats.at(j)));
            for (const QRectF &other : others)
                QVERIFY(!inner.intersects(other));
        }
    }
}

void TestPlanPage::legendTellsTheTruth()
{
    ClassModel model = loadDemoClassSeated();
    // 王浩然 leads and does not board; 刘俊杰 boards and does not lead; 李子轩 neither.
    QVERIFY(model.isLeader(1) && !model.isBoarder(1) && model.isBoarder(4) && !model.isLeader(4));
    PlanPage page;
    const QImage image = renderImage(seatingPlanOf(model, kDate), page);
    QCOMPARE(QColor(image.pixel(seatRect(page, "刘俊杰").topLeft())), kBoarderFill);
    QCOMPARE(QColor(image.pixel(seatRect(page, "李子轩").topLeft())), QColor(Qt::white));

    const QRect leader = seatRect(page, "王浩然");
    model.leaderNames.remove(QStringLiteral("王浩然"));
    PlanPage regularPage;
    const int boldInk = inkIn(image, leader);
    const int regularInk = inkIn(renderImage(seatingPlanOf(model, kDate), regularPage), leader);
    QVERIFY2(boldInk > regularInk * 1.2, qPrintable(QStringLiteral("%1 vs %2").arg(boldInk).arg(regularInk)));
}

void TestPlanPage::remapRewritesToUnicode_data()
{
    QTest::addColumn<QByteArray>("ranges");
    QTest::addColumn<QByteArray>("expected"); // empty: the file comes back unchanged
    QTest::newRow("one glyph") << QByteArray("<0001> <0001> <2F00>") << QByteArray("<0001> <0001> [<4E00> ]");
    QTest::newRow("array") << QByteArray("<0001> <0003> [<2F00> <0031> <2EE9> ]")
                           << QByteArray("<0001> <0003> [<4E00> <0031> <9EC4> ]");
    QTest::newRow("counting range spelled out") << QByteArray("<0010> <0012> <2EFF>")
                                                << QByteArray("<0010> <0012> [<2EFF> <4E00> <2F01> ]");
    QTest::newRow("to a supplementary character") << QByteArray("<0001> <0001> <0009>")
                                                  << QByteArray("<0001> <0001> [<D840DC00> ]");
    QTest::newRow("nothing to change") << QByteArray("<0001> <0002> [<0041> <0042> ]") << QByteArray();
    QTest::newRow("two code units kept") << QByteArray("<0001> <0001> <D840DC00>") << QByteArray();
}

void TestPlanPage::remapRewritesToUnicode()
{
    QFETCH(QByteArray, ranges);
    QFETCH(QByteArray, expected);
    const QHash<char32_t, char32_t> preferred = {{0x2F00, 0x4E00}, {0x2EE9, 0x9EC4}, {0x0009, 0x20000}};
    const auto prefer = [&preferred](char32_t point) { return preferred.value(point, point); };
    const QByteArray original = pdfWithToUnicode(ranges);
    QCOMPARE(PdfToUnicode::remap(original, prefer), expected.isEmpty() ? original : pdfWithToUnicode(expected));

    // A file not laid out as the writer lays it out comes back as it was.
    QByteArray damaged = original;
    damaged.replace("<< /Length ", "<< /Length 1");
    QCOMPARE(PdfToUnicode::remap(damaged, prefer), damaged);
    damaged = original.left(original.indexOf("xref\n"));
    QCOMPARE(PdfToUnicode::remap(damaged, prefer), damaged);
}

QTEST_MAIN(TestPlanPage)
#include "test_planpage.moc"
