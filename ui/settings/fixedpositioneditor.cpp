#include "ui/settings/fixedpositioneditor.h"

#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int kMaxSeat = 6;

QSpinBox *makeSpin(int maximum, const char *objectName)
{
    auto *spin = new QSpinBox;
    spin->setObjectName(QLatin1String(objectName));
    spin->setRange(1, maximum);
    spin->setValue(1);
    return spin;
}

QPushButton *makeButton(const QString &text, const char *objectName)
{
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(objectName));
    return button;
}

} // namespace

FixedPositionEditor::FixedPositionEditor(ClassModel &model, std::function<void(QTableWidget *)> refillTable,
                                         QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_refillTable(std::move(refillTable))
{
    auto *layout = new QVBoxLayout(this);

    m_nameEdit = new QLineEdit;
    m_nameEdit->setObjectName(QStringLiteral("fixedNameEdit"));
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("姓名:")));
    nameRow->addWidget(m_nameEdit);
    layout->addLayout(nameRow);

    m_groupSpin = makeSpin(kGroupCount, "fixedGroupSpin");
    m_seatSpin = makeSpin(kMaxSeat, "fixedSeatSpin");
    auto *placeRow = new QHBoxLayout;
    placeRow->addWidget(new QLabel(QStringLiteral("组号:")));
    placeRow->addWidget(m_groupSpin);
    placeRow->addWidget(new QLabel(QStringLiteral("座位位置:")));
    placeRow->addWidget(m_seatSpin);
    layout->addLayout(placeRow);

    QPushButton *addButton = makeButton(QStringLiteral("添加"), "addFixedButton");
    QPushButton *removeButton = makeButton(QStringLiteral("删除选中"), "removeFixedButton");
    QPushButton *clearButton = makeButton(QStringLiteral("清空所有"), "clearFixedButton");
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(addButton);
    buttonRow->addWidget(removeButton);
    buttonRow->addWidget(clearButton);
    layout->addLayout(buttonRow);

    m_table = new QTableWidget(0, 3);
    m_table->setObjectName(QStringLiteral("fixedPositionTable"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("姓名"), QStringLiteral("组号"), QStringLiteral("座位位置")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setTabKeyNavigation(false);
    m_table->setSelectionMode(QAbstractItemView::MultiSelection);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(m_table);

    connect(addButton, &QPushButton::clicked, this, &FixedPositionEditor::addPosition);
    connect(removeButton, &QPushButton::clicked, this, &FixedPositionEditor::removeSelected);
    connect(clearButton, &QPushButton::clicked, this, &FixedPositionEditor::clearAll);
}

void FixedPositionEditor::addPosition()
{
    QWidget *owner = window();
    const QString name = m_nameEdit->text().trimmed();
    const int group = m_groupSpin->value();
    const int seat = m_seatSpin->value();

    if (name.isEmpty()) {
        QMessageBox::warning(owner, QStringLiteral("错误"), QStringLiteral("请输入姓名"));
        return;
    }
    const auto found = m_model.nameToId.constFind(name);
    if (found == m_model.nameToId.cend()) {
        QMessageBox::warning(owner, QStringLiteral("错误"), QStringLiteral("姓名 '%1' 不在名单中").arg(name));
        return;
    }
    const PersonId person = found.value();
    if (seat < 1 || seat > kMaxSeat) {
        QMessageBox::warning(owner, QStringLiteral("错误"), QStringLiteral("座位位置必须在1-6之间"));
        return;
    }

    const auto current = m_model.fixedPositions.constFind(person);
    if (current != m_model.fixedPositions.cend()) {
        const QString question = QStringLiteral("%1 已被固定到组%2座位%3，是否替换为组%4座位%5?")
                                     .arg(name)
                                     .arg(current->group)
                                     .arg(current->seat)
                                     .arg(group)
                                     .arg(seat);
        if (QMessageBox::question(owner, QStringLiteral("确认"), question, QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes)
            return;
    }

    for (auto it = m_model.fixedPositions.cbegin(); it != m_model.fixedPositions.cend(); ++it) {
        if (it.key() != person && it->group == group && it->seat == seat) {
            QMessageBox::warning(owner, QStringLiteral("错误"),
                                 QStringLiteral("组%1座位%2已被 %3 占用").arg(group).arg(seat).arg(m_model.nameOf(it.key())));
            return;
        }
    }

    m_model.fixedPositions.insert(person, FixedPosition{group, seat});
    m_refillTable(m_table);
    m_nameEdit->clear();
    m_groupSpin->setValue(1);
    m_seatSpin->setValue(1);
}

void FixedPositionEditor::removeSelected()
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows(0);
    if (rows.isEmpty()) {
        QMessageBox::information(window(), QStringLiteral("提示"), QStringLiteral("请先选择要删除的固定位置"));
        return;
    }
    // A row whose number names nobody has no name to find it by; only
    // "清空所有" removes such an entry.
    QList<PersonId> persons;
    for (const QModelIndex &index : rows) {
        const QTableWidgetItem *item = m_table->item(index.row(), 0);
        if (!item)
            continue;
        const auto found = m_model.nameToId.constFind(item->text());
        if (found != m_model.nameToId.cend())
            persons.append(found.value());
    }
    for (PersonId person : std::as_const(persons))
        m_model.fixedPositions.remove(person);
    m_refillTable(m_table);
}

void FixedPositionEditor::clearAll()
{
    if (QMessageBox::question(window(), QStringLiteral("确认"), QStringLiteral("确定要清空所有固定位置吗?"),
                              QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    m_model.fixedPositions.clear();
    m_refillTable(m_table);
}
