// Importing a class list into the real settings dialog: the file chooser,
// the preview, and what "导入", "取消" and "保存" do to the editors and to
// config.ini.
#include "common/classlistfixture.h"

#include "ui/window/mainwindow.h"
#include "common/modaldriver.h"
#include "common/testenvironment.h"
#include "core/storage/configstore.h"
#include "ui/settings/rosterimportdialog.h"
#include "ui/settings/settingsdialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTest>

namespace {

const QByteArray kConfig = "[Male]\nNames=张三,李四\n[Female]\nNames=小红\n[Leaders]\nNames=张三\n"
                           "[FixedPositions]\nList=\"2,1,1\"\n";

template<typename T>
T *child(QWidget *parent, const QString &name)
{
    T *widget = parent->findChild<T *>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
}

QString editorText(QWidget *dialog, const char *name)
{
    return child<QPlainTextEdit>(dialog, QLatin1String(name))->toPlainText();
}

QStringList problemLines(QWidget *preview)
{
    QStringList lines;
    auto *list = child<QListWidget>(preview, QStringLiteral("importProblemList"));
    for (int i = 0; i < list->count(); ++i)
        lines.append(list->item(i)->text());
    return lines;
}

} // namespace

class TestRosterImportDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void importThenCancelLeavesConfigUnchanged();
    void appendThenSaveWritesRosterAndWarnsOfDuplicates();
    void headerlessFileWaitsForGenderChoice();
    void unreadableFileIsRefused();
    void hiddenRowsLeftOutUntilIncluded();
    void escapeCancelsThePreview();

private:
    // Opens "设置", presses "从文件导入...", picks path, and hands the
    // preview (if one opens) to previewBody; then runs afterImport on the
    // settings dialog, which closes it with "取消" unless afterImport did.
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    void importFile(const QString &path, const std::function<void(QDialog *)> &previewBody,
                    const std::function<void(SettingsDialog *)> &afterImport);

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MainWindow> window;
    QStringList chooserFilters;
};

void TestRosterImportDialog::init()
{
    env = std::make_unique<TestEnvironment>();
    env->writeConfig(kConfig);
    ConfigStore::writeLastUpdateCheck(env->configPath(), QDate::currentDate());
    window = env->makeWindow();
}

void TestRosterImportDialog::cleanup()
{
    window.reset();
    env.reset();
}

QString TestRosterImportDialog::writeFile(const QString &name, const QByteArray &bytes) const
{
    QFile file(env->dir() + u'/' + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(name));
    return file.fileName();
}

void TestRosterImportDialog::importFile(const QString &path, const std::function<void(QDialog *)> &previewBody,
                                        const std::function<void(SettingsDialog *)> &afterImport)
{
    ModalDriver settings;
    settings.handle([&](QWidget *modal) {
        auto *dialog = qobject_cast<SettingsDialog *>(modal);
        QVERIFY(dialog);
        ModalDriver chooser;
        ModalDriver preview;
        chooser.handle([&](QWidget *chooserModal) {
            auto *fileDialog = qobject_cast<QFileDialog *>(chooserModal);
            QVERIFY(fileDialog);
            chooserFilters = fileDialog->nameFilters();
            chooseInFileDialog(fileDialog, path);
            // The preview (or an error box) opens once the chooser is gone;
            // armed earlier, the driver would take the chooser itself.
            preview.handle([&](QWidget *next) {
                previewBody(qobject_cast<QDialog *>(next));
                if (next->isVisible())
                    qobject_cast<QDialog *>(next)->reject();
            });
        });
        child<QPushButton>(dialog, QStringLiteral("importRosterButton"))->click();
        QCOMPARE(chooser.last().title, QStringLiteral("选择名单文件"));
        afterImport(dialog);
        if (dialog->isVisible())
            child<QPushButton>(dialog, QStringLiteral("cancelButton"))->click();
    });
    child<QAction>(window.get(), QStringLiteral("settingsAction"))->trigger();
    QCOMPARE(settings.count(), 1);
    QCOMPARE(chooserFilters, (QStringList{QStringLiteral("名单文件 (*.xlsx *.xls *.et *.ods *.csv *.txt)"),
                                          QStringLiteral("所有文件 (*)")}));
}

void TestRosterImportDialog::importThenCancelLeavesConfigUnchanged()
{
    const QString csv = QStringLiteral("学号,姓名,性别,组长,外宿生\n"
                                       "3,赵磊,男,是,\n1, 安琪 ,女,,√\n2,王芳,女,√,\n4,陈静,?,,\n");
    const QString path = writeFile(QStringLiteral("名单.csv"), QStringEncoder("GB18030").encode(csv));
    const QByteArray before = env->readConfig();

    importFile(
        path,
        [&](QDialog *preview) {
            QVERIFY(qobject_cast<RosterImportDialog *>(preview));
            QCOMPARE(preview->windowTitle(), QStringLiteral("导入名单"));
            QVERIFY(child<QLabel>(preview, QStringLiteral("importFileLabel"))->text().endsWith(QStringLiteral("（GB18030 编码）")));
            QCOMPARE(child<QComboBox>(preview, QStringLiteral("importGenderCombo"))->currentText(), QStringLiteral("第 3 列“性别”"));
            QCOMPARE(child<QLabel>(preview, QStringLiteral("importSummaryLabel"))->text(),
                     QStringLiteral("将导入男生 1 名、女生 2 名，其中组长 2 名、外宿生 1 名。\n"
                                    "外宿生按“外宿生”一栏：“√”的 1 名学生标为外宿生。"));
            QCOMPARE(tableRows(child<QTableWidget>(preview, QStringLiteral("importPreviewTable"))),
                     (QStringList{"1|赵磊|男|√||3|2", "2|安琪|女||√|1|3", "3|王芳|女|√||2|4"}));
            QCOMPARE(problemLines(preview), (QStringList{"第 3 行: 姓名“安琪”前后有空格，已去掉",
                                                         "第 5 行: “陈静”的性别“?”无法识别，此行未导入"}));
            QVERIFY(child<QLabel>(preview, QStringLiteral("importDuplicateLabel"))->isHidden());
            child<QPushButton>(preview, QStringLiteral("importButton"))->click();
        },
        [&](SettingsDialog *dialog) {
            QCOMPARE(editorText(dialog, "maleNamesEdit"), QStringLiteral("赵磊"));
            QCOMPARE(editorText(dialog, "femaleNamesEdit"), QStringLiteral("安琪\n王芳"));
            QCOMPARE(editorText(dialog, "leaderNamesEdit"), QStringLiteral("王芳\n赵磊"));
            QCOMPARE(editorText(dialog, "boarderNamesEdit"), QStringLiteral("安琪"));
        });
    QCOMPARE(env->readConfig(), before);
    QCOMPARE(window->modelForTesting().maleNames, (QStringList{"张三", "李四"}));
}

void TestRosterImportDialog::appendThenSaveWritesRosterAndWarnsOfDuplicates()
{
    const QString path = writeClassListWorkbook(env->dir() + QStringLiteral("/名单.xlsx"),
                                                {{"Sheet1",
                                                  {{"姓名", "性别", "组长", "外宿生"},
                                                   {"李四", "男", "", "是"},
                                                   {"王五", "男", "", ""},
                                                   {"陈静", "女", "是", ""}}}});
    const QString warning =
        QStringLiteral("名单中有重名: 李四 ×2。重名的学生在要求和固定位置中无法区分，请改为可区分的名字，如 李四A、李四B。");
    ModalDriver::Seen saveBox;
    importFile(
        path,
        [&](QDialog *preview) {
            auto *duplicates = child<QLabel>(preview, QStringLiteral("importDuplicateLabel"));
            QVERIFY(duplicates->isHidden());
            child<QCheckBox>(preview, QStringLiteral("importAppendCheck"))->setChecked(true);
            QCOMPARE(duplicates->text(), warning);
            QVERIFY(!duplicates->isHidden());
            // Appended boys follow 张三 and 李四; the girls follow all boys and 小红.
            QCOMPARE(tableRows(child<QTableWidget>(preview, QStringLiteral("importPreviewTable"))),
                     (QStringList{"3|李四|男||√||2", "4|王五|男||||3", "6|陈静|女|√|||4"}));
            child<QPushButton>(preview, QStringLiteral("importButton"))->click();
        },
        [&](SettingsDialog *dialog) {
            ModalDriver box;
            box.answer(QMessageBox::Ok);
            child<QPushButton>(dialog, QStringLiteral("saveButton"))->click();
            saveBox = box.last();
        });
    QCOMPARE(saveBox.title, QStringLiteral("提示"));
    QCOMPARE(saveBox.text, warning);
    const QSettings saved(env->configPath(), QSettings::IniFormat);
    QCOMPARE(saved.value(QStringLiteral("Male/Names")).toStringList(), (QStringList{"张三", "李四", "李四", "王五"}));
    QCOMPARE(saved.value(QStringLiteral("Female/Names")).toStringList(), (QStringList{"小红", "陈静"}));
    QCOMPARE(saved.value(QStringLiteral("Boarders/Names")).toStringList(), QStringList{"李四"});
    const ClassModel &model = window->modelForTesting();
    QCOMPARE(model.leaderNames, (QSet<QString>{"张三", "陈静"}));
    // Number 2 is still a 李四, so the pin stays; the appended 李四 is 3.
    QCOMPARE(model.fixedPositions.keys(), QList<PersonId>{2});
    QCOMPARE(model.nameToId.value(QStringLiteral("李四")), 3);
}

void TestRosterImportDialog::headerlessFileWaitsForGenderChoice()
{
    const QString path = writeFile(QStringLiteral("names.txt"), "\xEF\xBB\xBF甲\r\n乙\r\n");

    importFile(
        path,
        [&](QDialog *preview) {
            auto *importButton = child<QPushButton>(preview, QStringLiteral("importButton"));
            auto *gender = child<QComboBox>(preview, QStringLiteral("importGenderCombo"));
            QVERIFY(!importButton->isEnabled());
            QCOMPARE(gender->currentText(), QStringLiteral("请选择..."));
            QVERIFY(child<QComboBox>(preview, QStringLiteral("importSheetCombo"))->isHidden());
            gender->setCurrentIndex(gender->findText(QStringLiteral("全部为女生")));
            QVERIFY(importButton->isEnabled());
            importButton->click();
        },
        [&](SettingsDialog *dialog) {
            QCOMPARE(editorText(dialog, "maleNamesEdit"), QString());
            QCOMPARE(editorText(dialog, "femaleNamesEdit"), QStringLiteral("甲\n乙"));
            // The file says nothing about leaders: the list stays.
            QCOMPARE(editorText(dialog, "leaderNamesEdit"), QStringLiteral("张三"));
        });
}

void TestRosterImportDialog::unreadableFileIsRefused()
{
    const QString path = writeFile(QStringLiteral("photo.csv"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));

    ModalDriver::Seen seen;
    importFile(
        path,
        [&](QDialog *box) {
            seen = describe(box);
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
        },
        [&](SettingsDialog *dialog) { QCOMPARE(editorText(dialog, "maleNamesEdit"), QStringLiteral("张三\n李四")); });
    QCOMPARE(seen.title, QStringLiteral("错误"));
    QVERIFY2(seen.text.contains(QStringLiteral("是PNG 图片，不是名单表格")), qPrintable(seen.text));
}

void TestRosterImportDialog::hiddenRowsLeftOutUntilIncluded()
{
    const QString path = QStringLiteral(QUORVANE_ROSTER_FIXTURES "/hidden-rows.ods");
    importFile(
        path,
        [&](QDialog *preview) {
            auto *hidden = child<QCheckBox>(preview, QStringLiteral("importHiddenCheck"));
            auto *summary = child<QLabel>(preview, QStringLiteral("importSummaryLabel"));
            auto *table = child<QTableWidget>(preview, QStringLiteral("importPreviewTable"));
            QVERIFY(hidden->isVisible());
            QVERIFY(!hidden->isChecked());
            QVERIFY(summary->text().endsWith(QStringLiteral("文件中有 3 行被隐藏（如筛选掉的其他班学生），未导入。")));
            QCOMPARE(table->rowCount(), 3);
            hidden->setChecked(true);
            QCOMPARE(table->rowCount(), 6);
            QVERIFY(summary->text().endsWith(QStringLiteral("文件中隐藏的 3 行也已读取。")));
            hidden->setChecked(false);
            // Tab in reading order, from the choices above down to the buttons.
            QStringList order;
            QWidget *widget = child<QWidget>(preview, QStringLiteral("importSheetCombo"));
            for (int i = 0; i < 8; ++i, widget = widget->nextInFocusChain()) {
                while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisible())
                    widget = widget->nextInFocusChain();
                order.append(widget->objectName());
            }
            QCOMPARE(order, (QStringList{"importSheetCombo", "importGenderCombo", "importHiddenCheck", "importPreviewTable",
                                         "importAppendCheck", "importButton", "importCancelButton", "importSheetCombo"}));
            // Enter imports: "导入" is the preview's default button.
            QTest::keyClick(preview, Qt::Key_Return);
        },
        [&](SettingsDialog *dialog) {
            QCOMPARE(editorText(dialog, "maleNamesEdit"), QStringLiteral("张伟"));
            QCOMPARE(editorText(dialog, "femaleNamesEdit"), QStringLiteral("李娜\n王芳"));
        });
}

void TestRosterImportDialog::escapeCancelsThePreview()
{
    const QString path = QStringLiteral(QUORVANE_ROSTER_FIXTURES "/two-up.xls");
    importFile(
        path,
        [&](QDialog *preview) {
            QCOMPARE(child<QLabel>(preview, QStringLiteral("importSummaryLabel"))->text().section(u'\n', 1, 1),
                     QStringLiteral("名单分为并排的 2 栏，按从左到右、每栏从上到下的顺序读取。"));
            QVERIFY(child<QCheckBox>(preview, QStringLiteral("importHiddenCheck"))->isHidden());
            QTest::keyClick(preview, Qt::Key_Escape);
            QVERIFY(!preview->isVisible());
            QCOMPARE(preview->result(), int(QDialog::Rejected));
        },
        [&](SettingsDialog *dialog) { QCOMPARE(editorText(dialog, "maleNamesEdit"), QStringLiteral("张三\n李四")); });
}

QTEST_MAIN(TestRosterImportDialog)
#include "test_rosterimportdialog.moc"
