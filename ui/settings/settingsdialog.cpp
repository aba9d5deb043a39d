#include "ui/settings/settingsdialog.h"

#include "core/storage/appdirectory.h"
#include "core/storage/configstore.h"
#include "core/engine/solverstep.h"
#include "core/roster/filekind.h"
#include "core/roster/rosterimport.h"
#include "core/model/namecollation.h"
#include "core/rules/settingscheck.h"
#include "ui/settings/fixedpositioneditor.h"
#include "ui/common/screenfit.h"
#include "ui/settings/rosterimportdialog.h"
#include "core/model/rosterupdate.h"
#include "ui/settings/settingscheckdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int kMaxGroupField = 10;

QPlainTextEdit *makeNameEdit(const QStringList &names, const char *objectName)
{
    auto *edit = new QPlainTextEdit;
    edit->setObjectName(QLatin1String(objectName));
    // One name a line: Tab moves on to the next field, it never types.
    edit->setTabChangesFocus(true);
    edit->setPlainText(names.join(u'\n'));
    return edit;
}

QSpinBox *makeGroupSpin(int value, const QString &objectName)
{
    auto *spin = new QSpinBox;
    spin->setObjectName(objectName);
    spin->setRange(0, kMaxGroupField);
    spin->setValue(value);
    return spin;
}

} // namespace

SettingsDialog::SettingsDialog(ClassModel &model, const QString &currentStyle, const QString &customPath,
                               std::function<void(QTableWidget *)> refillFixedTable, QWidget *parent)
    : QDialog(parent), m_model(model)
{
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(QStringLiteral("设置"));
    ScreenFit::resizeWithinScreen(this, QSize(600, 500));

    auto *tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("settingsTabs"));
    tabs->addTab(createRosterTab(model), QStringLiteral("人员名单"));
    tabs->addTab(createPeopleTab(model), QStringLiteral("人员设置"));
    tabs->addTab(createGroupTab(model), QStringLiteral("分组设置"));
    tabs->addTab(createStyleTab(currentStyle, customPath), QStringLiteral("样式设置"));
    m_fixedEditor = new FixedPositionEditor(model, std::move(refillFixedTable));
    tabs->addTab(m_fixedEditor, QStringLiteral("固定位置"));

    auto *saveButton = new QPushButton(QStringLiteral("保存"));
    saveButton->setObjectName(QStringLiteral("saveButton"));
    auto *cancelButton = new QPushButton(QStringLiteral("取消"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(saveButton, &QPushButton::clicked, this, &SettingsDialog::saveRequested);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // Enter saves; on the fixed-position tab it adds the pin being typed.
    saveButton->setDefault(true);
    auto *addFixedButton = m_fixedEditor->findChild<QPushButton *>(QStringLiteral("addFixedButton"));
    connect(tabs, &QTabWidget::currentChanged, this, [tabs, saveButton, addFixedButton, this] {
        (tabs->currentWidget() == m_fixedEditor && addFixedButton ? addFixedButton : saveButton)->setDefault(true);
    });

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(saveButton);
    buttonRow->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttonRow);
    connectSummary();
}

QWidget *SettingsDialog::createRosterTab(const ClassModel &model)
{
    auto *tab = new QWidget;
    auto *layout = new QVBoxLayout(tab);
    m_maleEdit = makeNameEdit(model.maleNames, "maleNamesEdit");
    m_femaleEdit = makeNameEdit(model.femaleNames, "femaleNamesEdit");
    for (auto [title, edit] : {std::pair{QStringLiteral("男生名单 (每行一个名字)"), m_maleEdit},
                               std::pair{QStringLiteral("女生名单 (每行一个名字)"), m_femaleEdit}}) {
        auto *box = new QGroupBox(title);
        auto *boxLayout = new QVBoxLayout(box);
        boxLayout->addWidget(edit);
        layout->addWidget(box);
    }
    auto *importButton = new QPushButton(QStringLiteral("从文件导入..."));
    importButton->setObjectName(QStringLiteral("importRosterButton"));
    connect(importButton, &QPushButton::clicked, this, &SettingsDialog::importRoster);
    auto *importRow = new QHBoxLayout;
    importRow->addWidget(importButton);
    importRow->addStretch();
    layout->addLayout(importRow);
    layout->addStretch();
    return tab;
}

QWidget *SettingsDialog::createPeopleTab(const ClassModel &model)
{
    auto *tab = new QWidget;
    auto *layout = new QVBoxLayout(tab);
    m_leaderEdit = makeNameEdit(sortedByPinyin(model.leaderNames), "leaderNamesEdit");
    m_boarderEdit = makeNameEdit(sortedByPinyin(model.boarderNames), "boarderNamesEdit");
    const struct
    {
        QString title;
        QString label;
        QPlainTextEdit *edit;
    } boxes[] = {{QStringLiteral("组长设置"), QStringLiteral("选择组长(每行一个名字):"), m_leaderEdit},
                 {QStringLiteral("外宿生设置"), QStringLiteral("选择外宿生(每行一个名字):"), m_boarderEdit}};
    for (const auto &entry : boxes) {
        auto *box = new QGroupBox(entry.title);
        auto *boxLayout = new QVBoxLayout(box);
        boxLayout->addWidget(new QLabel(entry.label));
        boxLayout->addWidget(entry.edit);
        layout->addWidget(box);
    }
    layout->addStretch();
    return tab;
}

QWidget *SettingsDialog::createGroupTab(const ClassModel &model)
{
    auto *tab = new QWidget;
    auto *grid = new QGridLayout(tab);
    const QStringList headers = {QStringLiteral("组号"), QStringLiteral("启用"), QStringLiteral("总人数"),
                                 QStringLiteral("男生"), QStringLiteral("女生")};
    for (int column = 0; column < headers.size(); ++column)
        grid->addWidget(new QLabel(headers.at(column)), 0, column);

    for (int i = 0; i < kGroupCount; ++i) {
        const GroupConfig config = model.groupConfigs.value(i, defaultGroupConfig(i));
        GroupRow row;
        row.enabled = new QComboBox;
        row.enabled->setObjectName(QStringLiteral("groupEnabledCombo_%1").arg(i));
        row.enabled->addItem(QStringLiteral("启用"), true);
        row.enabled->addItem(QStringLiteral("禁用"), false);
        row.enabled->setCurrentIndex(config.enabled ? 0 : 1);
        row.total = makeGroupSpin(config.total, QStringLiteral("groupTotalSpin_%1").arg(i));
        row.males = makeGroupSpin(config.males, QStringLiteral("groupMalesSpin_%1").arg(i));
        row.females = makeGroupSpin(config.females, QStringLiteral("groupFemalesSpin_%1").arg(i));
        row.total->setEnabled(config.enabled);
        row.males->setEnabled(config.enabled);
        row.females->setEnabled(false);

        grid->addWidget(new QLabel(QStringLiteral("组 %1").arg(i + 1)), i + 1, 0);
        grid->addWidget(row.enabled, i + 1, 1);
        grid->addWidget(row.total, i + 1, 2);
        grid->addWidget(row.males, i + 1, 3);
        grid->addWidget(row.females, i + 1, 4);
        // Linked only now that the values are in, so opening changes nothing.
        linkGroupRow(row);
        m_groupRows.append(row);
    }
    grid->addLayout(createCheckRow(), kGroupCount + 1, 0, 1, int(headers.size()));
    m_triesSpin = new QSpinBox;
    m_triesSpin->setObjectName(QStringLiteral("generationTriesSpin"));
    m_triesSpin->setRange(kMinGenerationTries, kMaxGenerationTries);
    m_triesSpin->setValue(model.generationTries);
    grid->addWidget(new QLabel(QStringLiteral("每次生成尝试次数")), kGroupCount + 2, 0, 1, 2);
    grid->addWidget(m_triesSpin, kGroupCount + 2, 2);
    m_avoidLastGroupmates = new QCheckBox(QStringLiteral("尽量避免与上次同组"));
    m_avoidLastGroupmates->setObjectName(QStringLiteral("avoidLastGroupmatesCheck"));
    m_avoidLastGroupmates->setChecked(model.avoidLastGroupmates);
    m_solverCheck = new QCheckBox(QStringLiteral("无法满足要求时使用约束求解"));
    m_solverCheck->setObjectName(QStringLiteral("useSolverCheck"));
    m_solverCheck->setChecked(model.useSolver);
    // Beside the tries, so the tab needs no more height than the dialog's.
    auto *switches = new QHBoxLayout;
    switches->addWidget(m_avoidLastGroupmates);
    switches->addWidget(m_solverCheck);
    switches->addStretch();
    grid->addLayout(switches, kGroupCount + 2, 3, 1, int(headers.size()) - 3);
    // Spare height goes below the rows, not between the header and the first row.
    grid->setRowStretch(kGroupCount + 3, 1);
    return tab;
}

void SettingsDialog::linkGroupRow(const GroupRow &row)
{
    connect(row.total, &QSpinBox::valueChanged, this, [row](int total) {
        row.males->setMaximum(total);
        row.females->setValue(total - row.males->value());
    });
    connect(row.males, &QSpinBox::valueChanged, this,
            [row](int males) { row.females->setValue(row.total->value() - males); });
    connect(row.enabled, &QComboBox::currentIndexChanged, this, [row] {
        const bool enabled = row.enabled->currentData().toBool();
        row.total->setEnabled(enabled);
        row.males->setEnabled(enabled);
    });
}

QWidget *SettingsDialog::createStyleTab(const QString &currentStyle, const QString &customPath)
{
    auto *tab = new QWidget;
    auto *tabLayout = new QVBoxLayout(tab);
    auto *box = new QGroupBox(QStringLiteral("座位表样式设置"));
    auto *layout = new QVBoxLayout(box);

    m_styleCombo = new QComboBox;
    m_styleCombo->setObjectName(QStringLiteral("styleCombo"));
    for (const QString &style : {ConfigStore::kDefaultStyle, QStringLiteral("样式2"), ConfigStore::kCustomStyle})
        m_styleCombo->addItem(style, style);
    const int current = m_styleCombo->findData(currentStyle);
    if (current >= 0)
        m_styleCombo->setCurrentIndex(current);
    auto *styleRow = new QHBoxLayout;
    styleRow->addWidget(new QLabel(QStringLiteral("选择座位表样式:")));
    styleRow->addWidget(m_styleCombo);
    layout->addLayout(styleRow);

    m_customLabel = new QLabel(QStringLiteral("自定义样式文件:"));
    m_customLabel->setObjectName(QStringLiteral("customPathLabel"));
    m_customPathEdit = new QLineEdit;
    m_customPathEdit->setObjectName(QStringLiteral("customPathEdit"));
    m_browseButton = new QPushButton(QStringLiteral("浏览..."));
    m_browseButton->setObjectName(QStringLiteral("browseButton"));
    auto *customRow = new QHBoxLayout;
    customRow->addWidget(m_customLabel);
    customRow->addWidget(m_customPathEdit);
    customRow->addWidget(m_browseButton);
    layout->addLayout(customRow);
    tabLayout->addWidget(box);
    tabLayout->addStretch();

    const bool custom = currentStyle == ConfigStore::kCustomStyle;
    if (custom)
        m_customPathEdit->setText(customPath);
    showCustomRow(custom);

    connect(m_styleCombo, &QComboBox::currentIndexChanged, this,
            [this] { showCustomRow(m_styleCombo->currentData().toString() == ConfigStore::kCustomStyle); });
    connect(m_browseButton, &QPushButton::clicked, this, &SettingsDialog::browseTemplate);
    return tab;
}

void SettingsDialog::showCustomRow(bool visible)
{
    m_customLabel->setVisible(visible);
    m_customPathEdit->setVisible(visible);
    m_browseButton->setVisible(visible);
}

void SettingsDialog::browseTemplate()
{
    const QString path = QFileDialog::getOpenFileName(parentWidget(), QStringLiteral("选择自定义样式文件"),
                                                      fileDialogDirectory(), QStringLiteral("Excel文件 (*.xlsx)"));
    if (!path.isEmpty())
        m_customPathEdit->setText(path);
}

void SettingsDialog::importRoster()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("选择名单文件"),
                                                      QDir(documents).exists() ? documents : QDir::homePath(),
                                                      kClassListFilter);
    if (path.isEmpty())
        return;
    const TableFile table = readTableFile(path);
    if (!table.error.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"), table.error);
        return;
    }
    RosterImportDialog preview(path, table, nonEmptyLines(maleText()), nonEmptyLines(femaleText()), this);
    if (preview.exec() == QDialog::Accepted)
        applyImport(preview.result(), preview.appendsToExisting());
}

// Only the editors change; "保存" applies them, "取消" drops them.
void SettingsDialog::applyImport(const RosterImport &import, bool append)
{
    const auto fill = [append](QPlainTextEdit *edit, const QStringList &names) {
        edit->setPlainText(((append ? nonEmptyLines(edit->toPlainText()) : QStringList()) + names).join(u'\n'));
    };
    fill(m_maleEdit, import.boyNames());
    fill(m_femaleEdit, import.girlNames());
    const auto fillMarks = [append](QPlainTextEdit *edit, const QStringList &names) {
        QStringList marked = append ? nonEmptyLines(edit->toPlainText()) : QStringList();
        marked += names;
        marked.removeDuplicates();
        edit->setPlainText(sortedByPinyin(marked).join(u'\n'));
    };
    if (import.hasLeaderColumn)
        fillMarks(m_leaderEdit, import.leaderNames());
    if (import.hasBoarderColumn)
        fillMarks(m_boarderEdit, import.boarderNames());
}

QLayout *SettingsDialog::createCheckRow()
{
    m_summaryLabel = new QLabel;
    m_summaryLabel->setObjectName(QStringLiteral("settingsSummaryLabel"));
    auto *checkButton = new QPushButton(QStringLiteral("检查设置"));
    checkButton->setObjectName(QStringLiteral("checkSettingsButton"));
    connect(checkButton, &QPushButton::clicked, this, &SettingsDialog::checkSettingsNow);
    auto *row = new QHBoxLayout;
    row->addWidget(m_summaryLabel);
    row->addStretch();
    row->addWidget(checkButton);
    return row;
}

void SettingsDialog::connectSummary()
{
    for (QPlainTextEdit *edit : {m_maleEdit, m_femaleEdit})
        connect(edit, &QPlainTextEdit::textChanged, this, &SettingsDialog::updateSummary);
    for (const GroupRow &row : std::as_const(m_groupRows)) {
        connect(row.enabled, &QComboBox::currentIndexChanged, this, &SettingsDialog::updateSummary);
        for (QSpinBox *spin : {row.total, row.males, row.females})
            connect(spin, &QSpinBox::valueChanged, this, &SettingsDialog::updateSummary);
    }
    updateSummary();
}

void SettingsDialog::updateSummary()
{
    const SettingsSummary summary = summarizeSettings(draftSettings(m_model, edits()));
    m_summaryLabel->setText(summary.text());
    m_summaryLabel->setStyleSheet(summary.isOff() ? QStringLiteral("color: #c00000;") : QString());
}

void SettingsDialog::checkSettingsNow()
{
    const ClassModel draft = draftSettings(m_model, edits());
    showSettingsFindings(this, useSolver() ? Engine::checkSettingsWithSolver(draft) : checkSettings(draft));
}

SettingsEdits SettingsDialog::edits() const
{
    return SettingsEdits{maleText(), femaleText(), leaderText(), boarderText(), groupConfigs()};
}

QString SettingsDialog::maleText() const
{
    return m_maleEdit->toPlainText();
}

QString SettingsDialog::femaleText() const
{
    return m_femaleEdit->toPlainText();
}

QString SettingsDialog::leaderText() const
{
    return m_leaderEdit->toPlainText();
}

QString SettingsDialog::boarderText() const
{
    return m_boarderEdit->toPlainText();
}

QList<GroupConfig> SettingsDialog::groupConfigs() const
{
    QList<GroupConfig> configs;
    for (const GroupRow &row : m_groupRows)
        configs.append(GroupConfig{row.enabled->currentData().toBool(), row.total->value(), row.males->value(),
                                   row.females->value()});
    return configs;
}

int SettingsDialog::generationTries() const
{
    return m_triesSpin->value();
}

bool SettingsDialog::useSolver() const
{
    return m_solverCheck->isChecked();
}

QString SettingsDialog::selectedStyle() const
{
    return m_styleCombo->currentData().toString();
}

QString SettingsDialog::customPath() const
{
    return m_customPathEdit->text();
}

bool SettingsDialog::avoidLastGroupmates() const
{
    return m_avoidLastGroupmates->isChecked();
}

QTableWidget *SettingsDialog::fixedPositionTable() const
{
    return m_fixedEditor->table();
}
