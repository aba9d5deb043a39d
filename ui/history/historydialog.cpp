#include "ui/history/historydialog.h"

#include "core/storage/arrangementrecord.h"
#include "ui/common/memberitem.h"
#include "ui/common/screenfit.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QTableWidget *makeTable(const char *objectName)
{
    auto *table = new QTableWidget;
    table->setObjectName(QLatin1String(objectName));
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab moves on to the next field instead of from cell to cell.
    table->setTabKeyNavigation(false);
    return table;
}

QPushButton *makeButton(const QString &text, const char *objectName)
{
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(objectName));
    return button;
}

} // namespace

HistoryDialog::HistoryDialog(const QList<ArrangementRecord> &records, QWidget *parent)
    : QDialog(parent), m_records(records)
{
    setObjectName(QStringLiteral("historyDialog"));
    setWindowTitle(QStringLiteral("历史分组"));
    ScreenFit::resizeWithinScreen(this, QSize(900, 600));
    std::reverse(m_records.begin(), m_records.end());

    m_list = makeTable("historyList");
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_preview = makeTable("historyPreview");
    m_preview->setSelectionMode(QAbstractItemView::NoSelection);
    fillList();

    m_regenerateButton = makeButton(QStringLiteral("按此种子重新生成"), "regenerateButton");
    m_restoreButton = makeButton(QStringLiteral("恢复"), "restoreButton");
    m_restoreButton->setDefault(true);
    auto *closeButton = makeButton(QStringLiteral("关闭"), "closeButton");
    connect(m_regenerateButton, &QPushButton::clicked, this, [this] { choose(Choice::Regenerate); });
    connect(m_restoreButton, &QPushButton::clicked, this, [this] { choose(Choice::Restore); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_regenerateButton);
    buttons->addWidget(m_restoreButton);
    buttons->addWidget(closeButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 2);
    layout->addWidget(m_preview, 3);
    layout->addLayout(buttons);

    connect(m_list, &QTableWidget::itemSelectionChanged, this, &HistoryDialog::showSelected);
    if (!m_records.isEmpty())
        m_list->selectRow(0);
    showSelected();
}

void HistoryDialog::fillList()
{
    const QStringList headers{QStringLiteral("时间"), QStringLiteral("种子"), QStringLiteral("分组"),
                              QStringLiteral("要求"), QStringLiteral("导出文件")};
    m_list->setColumnCount(int(headers.size()));
    m_list->setHorizontalHeaderLabels(headers);
    m_list->setRowCount(int(m_records.size()));
    for (int row = 0; row < m_records.size(); ++row) {
        const ArrangementRecord &record = m_records.at(row);
        const QStringList cells{record.time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                                QString::number(record.seed), groupNumbersText(record),
                                verdictText(record.unmetRequirements),
                                QDir::toNativeSeparators(record.exportedPath)};
        for (int column = 0; column < cells.size(); ++column)
            m_list->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    m_list->resizeColumnsToContents();
    m_list->horizontalHeader()->setStretchLastSection(true);
}

const ArrangementRecord *HistoryDialog::selected() const
{
    const QList<QTableWidgetItem *> items = m_list->selectedItems();
    if (items.isEmpty())
        return nullptr;
    return &m_records.at(items.first()->row());
}

void HistoryDialog::showSelected()
{
    const ArrangementRecord *record = selected();
    m_regenerateButton->setEnabled(record);
    m_restoreButton->setEnabled(record);
    if (!record) {
        m_preview->setRowCount(0);
        return;
    }
    int columns = 7;
    for (const RecordedGroup &group : record->groups)
        columns = std::max(columns, int(group.members.size()) + 1);
    m_preview->setColumnCount(columns);
    QStringList headers{QStringLiteral("组号")};
    for (int k = 1; k < columns; ++k)
        headers.append(QStringLiteral("成员%1").arg(k));
    m_preview->setHorizontalHeaderLabels(headers);
    m_preview->setRowCount(int(record->groups.size()));
    for (int row = 0; row < record->groups.size(); ++row) {
        const RecordedGroup &group = record->groups.at(row);
        m_preview->setItem(row, 0, new QTableWidgetItem(QStringLiteral("组 %1").arg(group.number)));
        for (int column = 1; column < columns; ++column) {
            if (column - 1 < group.members.size()) {
                const RecordedMember &member = group.members.at(column - 1);
                m_preview->setItem(row, column, memberItem(member.name, member.boy, member.leader, member.boarder));
            } else {
                m_preview->setItem(row, column, new QTableWidgetItem(QString()));
            }
        }
    }
    m_preview->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void HistoryDialog::choose(Choice choice)
{
    const ArrangementRecord *record = selected();
    if (!record)
        return;
    m_choice = choice;
    m_chosen = record->id;
    accept();
}
