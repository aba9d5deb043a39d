// The requirement panel's commands and the requirement check.
#include "ui/window/mainwindow.h"

#include "ui/window/logbatch.h"
#include "core/rules/constraintcheck.h"
#include "core/rules/constraintinput.h"
#include "ui/requirements/constraintrow.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>

#include <algorithm>
#include <functional>

namespace {

bool isMustTogetherRow(const QTableWidget *table, int row)
{
    const QTableWidgetItem *item = table->item(row, 0);
    return item && item->text() == constraintKindText(ConstraintKind::MustTogether);
}

} // namespace

void MainWindow::addConstraint()
{
    const ConstraintInput input =
        parseConstraintInput(constraintNameEdit->text(), constraintTypeCombo->currentText(), model.nameToId);
    if (!input.isValid()) {
        QMessageBox::warning(this, QStringLiteral("输入错误"), input.error);
        return;
    }
    QList<Constraint> &list =
        input.kind == ConstraintKind::MustTogether ? model.mustTogether : model.mustSeparate;
    list.append(input.members);
    appendConstraintRow(constraintTable, input.kind, input.members, model);
    constraintNameEdit->clear();
    logMessage(QStringLiteral("要求添加成功"));
}

void MainWindow::removeConstraint()
{
    QList<int> rows;
    for (const QModelIndex &index : constraintTable->selectionModel()->selectedRows(0))
        rows.append(index.row());
    if (rows.isEmpty()) {
        QMessageBox::information(this, QStringLiteral("提示"), QStringLiteral("请先选择要移除的要求"));
        return;
    }

    // Bottom up, so a removal never shifts a row still to be removed. Rows of
    // the two kinds may interleave: the k-th row of a kind is entry k of its list.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : std::as_const(rows)) {
        const bool together = isMustTogetherRow(constraintTable, row);
        int index = 0;
        for (int above = 0; above < row; ++above) {
            if (isMustTogetherRow(constraintTable, above) == together)
                ++index;
        }
        QList<Constraint> &list = together ? model.mustTogether : model.mustSeparate;
        if (index < list.size())
            list.removeAt(index);
        constraintTable->removeRow(row);
    }
    logMessage(QStringLiteral("要求已移除"));
}

void MainWindow::checkConstraints()
{
    // Without a grouping every member would count as sitting in the first
    // group and every requirement would be reported as broken.
    if (model.generatedGroups.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("请先生成分组结果"));
        return;
    }
    const LogBatch::Scope batch(logBatch);
    validateConstraints();
    logMessage(QStringLiteral("要求检查完成"));
}

void MainWindow::validateConstraints()
{
    const ConstraintCheck check = checkConstraintsAgainst(model, model.generatedGroups);
    for (const QString &line : check.lines)
        appendPlainLog(line);
}
