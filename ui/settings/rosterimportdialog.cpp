#include "ui/settings/rosterimportdialog.h"

#include "core/model/duplicatenames.h"
#include "ui/common/screenfit.h"
#include "core/roster/importsummary.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <tuple>

namespace {

// Item data of the gender choices that are not a column.
constexpr int kAllBoys = -1;
constexpr int kAllGirls = -2;
constexpr int kUnchosen = -3;

const QString kAlert = QStringLiteral("color: #b00020;");

QString mark(bool set)
{
    return set ? QStringLiteral("√") : QString();
}

} // namespace

RosterImportDialog::RosterImportDialog(const QString &path, const TableFile &table, const QStringList &existingBoys,
                                       const QStringList &existingGirls, QWidget *parent)
    : QDialog(parent)
    , m_path(path)
    , m_table(table)
    , m_existingBoys(existingBoys)
    , m_existingGirls(existingGirls)
{
    setObjectName(QStringLiteral("rosterImportDialog"));
    setWindowTitle(QStringLiteral("导入名单"));
    ScreenFit::resizeWithinScreen(this, QSize(640, 600));

    m_fileLabel = new QLabel;
    m_fileLabel->setObjectName(QStringLiteral("importFileLabel"));
    m_fileLabel->setWordWrap(true);

    m_summaryLabel = new QLabel;
    m_summaryLabel->setObjectName(QStringLiteral("importSummaryLabel"));
    m_summaryLabel->setWordWrap(true);

    m_previewTable = new QTableWidget(0, 7);
    m_previewTable->setObjectName(QStringLiteral("importPreviewTable"));
    m_previewTable->setHorizontalHeaderLabels({QStringLiteral("编号"), QStringLiteral("姓名"), QStringLiteral("性别"),
                                               QStringLiteral("组长"), QStringLiteral("外宿生"), QStringLiteral("学号"),
                                               QStringLiteral("行号")});
    m_previewTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_previewTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_previewTable->setTabKeyNavigation(false);
    m_previewTable->verticalHeader()->hide();
    m_previewTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_previewTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_previewTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    m_duplicateLabel = new QLabel;
    m_duplicateLabel->setObjectName(QStringLiteral("importDuplicateLabel"));
    m_duplicateLabel->setWordWrap(true);
    m_duplicateLabel->setStyleSheet(kAlert);

    m_hiddenCheck = new QCheckBox(QStringLiteral("包括隐藏的行"));
    m_hiddenCheck->setObjectName(QStringLiteral("importHiddenCheck"));

    m_problemTitle = new QLabel;
    m_problemList = new QListWidget;
    m_problemList->setObjectName(QStringLiteral("importProblemList"));
    m_problemList->setMaximumHeight(100);

    m_appendCheck = new QCheckBox(QStringLiteral("追加到现有名单"));
    m_appendCheck->setObjectName(QStringLiteral("importAppendCheck"));
    m_importButton = new QPushButton(QStringLiteral("导入"));
    m_importButton->setObjectName(QStringLiteral("importButton"));
    m_importButton->setDefault(true);
    auto *cancelButton = new QPushButton(QStringLiteral("取消"));
    cancelButton->setObjectName(QStringLiteral("importCancelButton"));
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_appendCheck);
    buttonRow->addStretch();
    buttonRow->addWidget(m_importButton);
    buttonRow->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fileLabel);
    layout->addWidget(createChoiceRow());
    layout->addWidget(m_summaryLabel);
    layout->addWidget(m_hiddenCheck);
    layout->addWidget(m_previewTable, 1);
    layout->addWidget(m_duplicateLabel);
    layout->addWidget(m_problemTitle);
    layout->addWidget(m_problemList);
    layout->addLayout(buttonRow);

    // Tab in reading order: the choices above the preview come first.
    const QList<QWidget *> order = {m_sheetCombo,  m_genderCombo, m_hiddenCheck,  m_previewTable,
                                    m_problemList, m_appendCheck, m_importButton, cancelButton};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));

    connect(m_appendCheck, &QCheckBox::toggled, this, &RosterImportDialog::showImport);
    connect(m_hiddenCheck, &QCheckBox::toggled, this, &RosterImportDialog::reinterpret);
    connect(m_importButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    reinterpret();
    fillGenderChoices();
}

QWidget *RosterImportDialog::createChoiceRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    m_sheetCombo = new QComboBox;
    m_sheetCombo->setObjectName(QStringLiteral("importSheetCombo"));
    m_sheetCombo->addItems(m_table.sheetNames);
    m_sheetCombo->setCurrentIndex(m_table.sheetIndex);
    auto *sheetLabel = new QLabel(QStringLiteral("工作表:"));
    // A text file has no sheets to choose from.
    sheetLabel->setVisible(!m_table.sheetNames.isEmpty());
    m_sheetCombo->setVisible(!m_table.sheetNames.isEmpty());
    layout->addWidget(sheetLabel);
    layout->addWidget(m_sheetCombo, 1);

    m_genderCombo = new QComboBox;
    m_genderCombo->setObjectName(QStringLiteral("importGenderCombo"));
    layout->addWidget(new QLabel(QStringLiteral("性别:")));
    layout->addWidget(m_genderCombo, 1);

    connect(m_sheetCombo, &QComboBox::currentIndexChanged, this, &RosterImportDialog::chooseSheet);
    connect(m_genderCombo, &QComboBox::currentIndexChanged, this, &RosterImportDialog::chooseGender);
    return row;
}

bool RosterImportDialog::appendsToExisting() const
{
    return m_appendCheck->isChecked();
}

void RosterImportDialog::chooseSheet(int index)
{
    m_table = readTableFile(m_path, index);
    m_choice = GenderChoice{};
    reinterpret();
    fillGenderChoices();
}

void RosterImportDialog::chooseGender()
{
    const int data = m_genderCombo->currentData().toInt();
    m_choice = data == kUnchosen ? GenderChoice{}
        : data == kAllBoys       ? GenderChoice{GenderChoice::AllBoys}
        : data == kAllGirls      ? GenderChoice{GenderChoice::AllGirls}
                                 : GenderChoice{GenderChoice::Column, data};
    reinterpret();
}

void RosterImportDialog::reinterpret()
{
    m_import = interpretRoster(m_table, m_choice, m_hiddenCheck->isChecked());
    showImport();
}

// The columns other than the names, then the two fixed choices; a prompt
// first while the file has not said where genders are.
void RosterImportDialog::fillGenderChoices()
{
    const QSignalBlocker blocker(m_genderCombo);
    m_genderCombo->clear();
    if (m_import.needsGenderChoice())
        m_genderCombo->addItem(QStringLiteral("请选择..."), kUnchosen);
    for (int column = 0; column < m_import.columnTitles.size(); ++column) {
        if (column != m_import.nameColumn)
            m_genderCombo->addItem(m_import.columnTitles.at(column), column);
    }
    m_genderCombo->addItem(QStringLiteral("全部为男生"), kAllBoys);
    m_genderCombo->addItem(QStringLiteral("全部为女生"), kAllGirls);
    const GenderChoice &gender = m_import.gender;
    const int data = gender.kind == GenderChoice::Column ? gender.column
        : gender.kind == GenderChoice::AllBoys           ? kAllBoys
        : gender.kind == GenderChoice::AllGirls          ? kAllGirls
                                                         : kUnchosen;
    m_genderCombo->setCurrentIndex(qMax(0, m_genderCombo->findData(data)));
    m_genderCombo->setEnabled(m_import.refusal.isEmpty());
}

void RosterImportDialog::showImport()
{
    QString file = QStringLiteral("文件: %1").arg(QDir::toNativeSeparators(m_path));
    if (!m_table.encoding.isEmpty())
        file += QStringLiteral("（%1 编码）").arg(m_table.encoding);
    m_fileLabel->setText(file);

    const ImportSummary summary = summarizeImport(m_import);
    m_summaryLabel->setText(summary.lines.join(u'\n'));
    m_summaryLabel->setStyleSheet(summary.alert ? kAlert : QString());
    m_hiddenCheck->setVisible(m_import.hiddenRows > 0);
    fillPreviewTable();

    const bool append = appendsToExisting();
    const QStringList names = (append ? m_existingBoys : QStringList()) + m_import.boyNames()
        + (append ? m_existingGirls : QStringList()) + m_import.girlNames();
    const QString duplicates = duplicateNamesWarning(names);
    m_duplicateLabel->setText(duplicates);
    m_duplicateLabel->setVisible(!duplicates.isEmpty());

    m_problemList->clear();
    for (const RowProblem &problem : std::as_const(m_import.problems))
        m_problemList->addItem(QStringLiteral("第 %1 行: %2").arg(problem.row).arg(problem.text));
    m_problemTitle->setText(m_import.problems.isEmpty() ? QStringLiteral("没有发现问题。")
                                                        : QStringLiteral("问题 (%1 处):").arg(m_import.problems.size()));
    m_problemList->setVisible(!m_import.problems.isEmpty());
    m_importButton->setEnabled(m_import.canImport());
}

// Numbers as they will be after "保存": boys first, an appended list after
// the names already there.
void RosterImportDialog::fillPreviewTable()
{
    const bool append = appendsToExisting();
    const int boysBefore = append ? int(m_existingBoys.size()) : 0;
    const int girlsBefore = append ? int(m_existingGirls.size()) : 0;
    const int firstGirl = boysBefore + int(m_import.boys.size()) + girlsBefore + 1;
    m_previewTable->setRowCount(int(m_import.boys.size() + m_import.girls.size()));
    int row = 0;
    for (const auto &[people, first, gender] : {std::tuple{&m_import.boys, boysBefore + 1, QStringLiteral("男")},
                                                std::tuple{&m_import.girls, firstGirl, QStringLiteral("女")}}) {
        for (int i = 0; i < people->size(); ++i, ++row) {
            const ImportedPerson &person = people->at(i);
            const QStringList cells = {QString::number(first + i), person.name, gender, mark(person.leader),
                                       mark(person.boarder), person.number, QString::number(person.row)};
            for (int column = 0; column < cells.size(); ++column)
                m_previewTable->setItem(row, column, new QTableWidgetItem(cells.at(column)));
        }
    }
}
