#include "ui/common/memberitem.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QTableWidgetItem>

namespace {

const QColor kMaleColour(200, 230, 255);
const QColor kFemaleColour(255, 230, 255);

} // namespace

QTableWidgetItem *memberItem(const QString &name, bool boy, bool leader, bool boarder)
{
    auto *item = new QTableWidgetItem(name);
    item->setBackground(boarder ? QBrush(Qt::yellow) : QBrush(boy ? kMaleColour : kFemaleColour));
    if (leader) {
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
    }
    return item;
}
