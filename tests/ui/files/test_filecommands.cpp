// The file commands in the real window, with the built-in engine, the real
// save dialog and message boxes; the desktop handler is captured. The printed
// plan's commands too: its PDF export and the print preview.
#include "common/pdfreadback.h"

#include "common/modaldriver.h"
#include "common/testenvironment.h"

#include "ui/window/mainwindow.h"
#include "core/platform/clock.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTableWidget>
#include <QTest>
#include <QUrl>

class TestFileCommands : public QObject
{
    Q_OBJECT

public slots:
    void openFile(const QUrl &url) { m_opened.append(url); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void withoutGroupingNothingIsSaved_data();
    void withoutGroupingNothingIsSaved();
    void saveWritesBesideTheExecutable();
    void twoSavesInOneSecond();
    void saveAsName_data();
    void saveAsName();
    void saveAsCancelled_data();
    void saveAsCancelled();
    void newFileLeavesNineEmptyGroups();
    void newFileSaved();
    void missingTemplatesReportedOnce();

    // The printed plan
    void exportPdfThroughTheDialog_data();
    void exportPdfThroughTheDialog();
    void printPreviewOffersBothViews();

private:
    void makeWindow(bool withTemplates = true);
    void trigger(const char *action);
    // Answers the next save dialog with a name in the environment (or
    // cancels it when empty) and remembers what it proposed.
    void answerSaveDialog(ModalDriver &driver, const QString &name, int filter = 0);
    QStringList stampedLines() const;

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MainWindow> m_window;
    QList<QUrl> m_opened;
    QString m_proposed;
    QString m_proposedDirectory;
    QString m_dialogTitle;
    QStringList m_filters;
};

void TestFileCommands::initTestCase()
{
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFile");
}

void TestFileCommands::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

void TestFileCommands::init()
{
    setClockForTesting([] { return QDateTime(QDate(2025, 10, 8), QTime(9, 5, 3)); });
    m_opened.clear();
    m_proposed.clear();
    m_dialogTitle.clear();
    m_filters.clear();
}

void TestFileCommands::cleanup()
{
    m_window.reset();
    m_env.reset();
    setClockForTesting(nullptr);
}

void TestFileCommands::makeWindow(bool withTemplates)
{
    m_env = std::make_unique<TestEnvironment>();
    m_env->writeConfig(demoConfigText() + "\n[Update]\nLastCheck=2025-10-08\n");
    if (withTemplates)
        m_env->copyTemplates();
    m_window = m_env->makeWindow();
}

void TestFileCommands::trigger(const char *action)
{
    auto *found = m_window->findChild<QAction *>(QLatin1String(action));
    QVERIFY(found);
    found->trigger();
}

void TestFileCommands::answerSaveDialog(ModalDriver &driver, const QString &name, int filter)
{
    driver.handle([this, name, filter](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        m_dialogTitle = dialog->windowTitle();
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            m_proposed = edit->text();
        m_proposedDirectory = dialog->directory().absolutePath();
        m_filters = dialog->nameFilters();
        dialog->selectNameFilter(m_filters.value(filter));
        if (name.isEmpty()) {
            dialog->reject();
            return;
        }
        chooseInFileDialog(dialog, m_env->dir() + u'/' + name);
    });
}

QStringList TestFileCommands::stampedLines() const
{
    QStringList lines;
    for (const QString &line : logLines(m_window.get())) {
        if (line.startsWith(QStringLiteral("09:05:03 - ")))
            lines.append(line.mid(11));
    }
    return lines;
}

void TestFileCommands::withoutGroupingNothingIsSaved_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<QString>("text");
    QTest::newRow("保存") << QByteArray("saveFile") << "没有分组数据可保存";
    QTest::newRow("另存为") << QByteArray("saveAs") << "没有分组数据可保存";
    QTest::newRow("export") << QByteArray("exportSeatingPlan") << "请先生成分组结果";
    QTest::newRow("打印...") << QByteArray("printSeatingPlan") << "没有分组数据可保存";
    QTest::newRow("导出PDF...") << QByteArray("exportSeatingPlanPdf") << "没有分组数据可保存";
}

void TestFileCommands::withoutGroupingNothingIsSaved()
{
    QFETCH(QByteArray, slot);
    QFETCH(QString, text);
    makeWindow();
    ModalDriver driver;
    driver.answer(QMessageBox::Ok);
    QVERIFY(QMetaObject::invokeMethod(m_window.get(), slot.constData()));
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().title, QStringLiteral("错误"));
    QCOMPARE(driver.last().text, text);
    QCOMPARE(driver.last().icon, QMessageBox::Warning);
    QCOMPARE(QDir(m_env->dir()).entryList({QStringLiteral("*座位表*")}), QStringList());
}

void TestFileCommands::saveWritesBesideTheExecutable()
{
    makeWindow();
    m_window->modelForTesting().generatedGroups = {{1, 25}, {2, 26}};
    trigger("saveAction");

    const QString path = m_env->dir() + QStringLiteral("/20251008_090503_座位表.xlsx");
    QVERIFY(QFile::exists(path));
    QVERIFY(logLines(m_window.get()).contains(QStringLiteral("使用内置表格引擎")));
    QCOMPARE(stampedLines(), (QStringList{QStringLiteral("座位表已导出到: ") + QDir::toNativeSeparators(path),
                                          QStringLiteral("座位表已保存到: ") + path}));
    QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(path)});
}

void TestFileCommands::twoSavesInOneSecond()
{
    makeWindow();
    m_window->modelForTesting().generatedGroups = {{1, 25}};
    trigger("saveAction");
    trigger("saveAction");
    const QString path = m_env->dir() + QStringLiteral("/20251008_090503_座位表.xlsx");
    QCOMPARE(stampedLines().count(QStringLiteral("座位表已保存到: ") + path), 2);
    QCOMPARE(QDir(m_env->dir()).entryList({QStringLiteral("*_座位表.xlsx")}).size(), 1);
    QCOMPARE(m_opened.size(), 2);
}

void TestFileCommands::saveAsName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("suffix appended") << "plan" << "plan.xlsx";
    QTest::newRow("upper-case suffix kept") << "plan.XLSX" << "plan.XLSX";
}

void TestFileCommands::saveAsName()
{
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    makeWindow();
    m_window->modelForTesting().generatedGroups = {{1, 25}};
    ModalDriver driver;
    answerSaveDialog(driver, typed);
    trigger("saveAsAction");

    QCOMPARE(m_dialogTitle, QStringLiteral("另存为"));
    QCOMPARE(m_proposed, QStringLiteral("20251008_090503_座位表.xlsx"));
    const QString path = m_env->dir() + u'/' + saved;
    QVERIFY(QFile::exists(path));
    QCOMPARE(stampedLines().last(), QStringLiteral("座位表已另存为: ") + path);
}

void TestFileCommands::saveAsCancelled_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::newRow("另存为") << QByteArray("saveAsAction");
    QTest::newRow("导出PDF...") << QByteArray("exportPdfAction");
}

void TestFileCommands::saveAsCancelled()
{
    QFETCH(QByteArray, action);
    makeWindow();
    m_window->modelForTesting().generatedGroups = {{1, 25}};
    const QStringList before = logLines(m_window.get());
    ModalDriver driver;
    answerSaveDialog(driver, QString());
    trigger(action.constData());
    QCOMPARE(driver.count(), 1);
    QCOMPARE(logLines(m_window.get()), before);
    QVERIFY(m_opened.isEmpty());
}

void TestFileCommands::newFileLeavesNineEmptyGroups()
{
    makeWindow();
    ClassModel &model = m_window->modelForTesting();
    for (int i = 5; i < model.groupConfigs.size(); ++i)
        model.groupConfigs[i].enabled = false;
    model.generatedGroups = {{1, 2}, {3}};
    ModalDriver driver;
    answerSaveDialog(driver, QString());
    trigger("newFileAction");

    QCOMPARE(m_dialogTitle, QStringLiteral("保存空座位表"));
    QCOMPARE(m_proposed, QStringLiteral("20251008_090503_空座位表.xlsx"));
    QCOMPARE(model.generatedGroups, Grouping(9));
    auto *table = m_window->findChild<QTableWidget *>(QStringLiteral("resultTable"));
    QCOMPARE(table->rowCount(), 9);
    QCOMPARE(table->columnCount(), 7);
    for (int row = 0; row < 9; ++row) {
        QCOMPARE(table->item(row, 0)->text(), QStringLiteral("组 %1").arg(row + 1));
        for (int column = 1; column <= 6; ++column)
            QCOMPARE(table->item(row, column)->text(), QString());
    }
    QCOMPARE(stampedLines(), QStringList{QStringLiteral("已创建新的空白座位表（未保存）")});

    // Now there is something to save: nine empty groups.
    trigger("saveAction");
    QCOMPARE(stampedLines().last(),
             QStringLiteral("座位表已保存到: ") + m_env->dir() + QStringLiteral("/20251008_090503_座位表.xlsx"));
}

void TestFileCommands::newFileSaved()
{
    makeWindow();
    ModalDriver driver;
    answerSaveDialog(driver, QStringLiteral("blank"));
    trigger("newFileAction");
    const QString path = m_env->dir() + QStringLiteral("/blank.xlsx");
    QVERIFY(QFile::exists(path));
    QCOMPARE(stampedLines().last(), QStringLiteral("已创建新的空白座位表并保存到: ") + path);
}

void TestFileCommands::missingTemplatesReportedOnce()
{
    makeWindow(false);
    m_window->modelForTesting().generatedGroups = {{1, 25}};
    ModalDriver driver;
    driver.answer(QMessageBox::Ok);
    trigger("saveAction");
    QCOMPARE(driver.count(), 1);
    QCOMPARE(driver.last().text,
             QStringLiteral("未找到座位模板文件，请确保同目录下有'座位样式1.xlsx'或'座位样式2.xlsx'"));
    QVERIFY(stampedLines().isEmpty());
    QVERIFY(m_opened.isEmpty());
}

void TestFileCommands::exportPdfThroughTheDialog_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<int>("filter");
    QTest::addColumn<bool>("podiumOnTop");
    QTest::newRow("学生视角, suffix appended") << "plan" << "plan.pdf" << 0 << true;
    QTest::newRow("教师视角, upper-case suffix kept") << "plan.PDF" << "plan.PDF" << 1 << false;
}

void TestFileCommands::exportPdfThroughTheDialog()
{
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QFETCH(int, filter);
    QFETCH(bool, podiumOnTop);
    makeWindow(false);
    m_window->modelForTesting().generatedGroups = {{1, 25, 2}, {3, 26}};
    ModalDriver driver;
    answerSaveDialog(driver, typed, filter);
    trigger("exportPdfAction");

    QCOMPARE(m_dialogTitle, QStringLiteral("导出PDF"));
    QCOMPARE(m_proposed, QStringLiteral("20251008_090503_座位表.pdf"));
    QCOMPARE(m_proposedDirectory, QDir(m_env->dir()).absolutePath());
    QCOMPARE(m_filters, (QStringList{QStringLiteral("学生视角 PDF (*.pdf)"), QStringLiteral("教师视角 PDF (*.pdf)")}));
    const QString path = m_env->dir() + u'/' + saved;
    QCOMPARE(stampedLines(), QStringList{QStringLiteral("座位表已导出为PDF: ") + QDir::toNativeSeparators(path)});
    QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(path)});

    const PdfText text = readPdf(path);
    QVERIFY(text.plain.contains(QStringLiteral("王浩然")));
    QCOMPARE(text.words.value("讲台").top() < text.words.value("第1组").top(), podiumOnTop);
}

void TestFileCommands::printPreviewOffersBothViews()
{
    makeWindow(false);
    m_window->modelForTesting().generatedGroups = {{1, 25}, {2, 26}};
    QStringList seen; // orientation, the views offered, pages after choosing the teacher's
    ModalDriver driver;
    driver.handle([&seen](QWidget *modal) {
        auto *dialog = qobject_cast<QPrintPreviewDialog *>(modal);
        auto *combo = modal->findChild<QComboBox *>(QStringLiteral("planViewCombo"));
        auto *preview = modal->findChild<QPrintPreviewWidget *>();
        if (dialog && combo && preview) {
            seen << (dialog->printer()->pageLayout().orientation() == QPageLayout::Landscape ? "landscape" : "portrait");
            seen << combo->itemText(0) << combo->itemText(1);
            combo->setCurrentIndex(1);
            seen << QString::number(preview->pageCount());
        }
        modal->close();
    });
    trigger("printAction");
    QCOMPARE(seen, (QStringList{"landscape", "学生视角", "教师视角", "1"}));
}

QTEST_MAIN(TestFileCommands)
#include "test_filecommands.moc"
