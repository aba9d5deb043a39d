// The requirement table under "要求条件管理".
#include "ui/window/mainwindow.h"

#include "ui/requirements/constraintrow.h"

#include <QStringList>
#include <QTableWidget>

void appendConstraintRow(QTableWidget *table, ConstraintKind kind, const Constraint &constraint,
                         const ClassModel &model)
{
    QStringList names;
    for (PersonId id : constraint)
        names.append(model.nameOf(id));
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, 0, new QTableWidgetItem(constraintKindText(kind)));
    table->setItem(row, 1, new QTableWidgetItem(names.join(QStringLiteral(", "))));
    table->setItem(row, 2, new QTableWidgetItem(QStringLiteral("待验证")));
}

void MainWindow::refreshConstraintTable()
{
    constraintTable->setRowCount(0);
    for (const Constraint &constraint : std::as_const(model.mustTogether))
        appendConstraintRow(constraintTable, ConstraintKind::MustTogether, constraint, model);
    for (const Constraint &constraint : std::as_const(model.mustSeparate))
        appendConstraintRow(constraintTable, ConstraintKind::MustSeparate, constraint, model);
}
