#pragma once

#include "core/model/classmodel.h"

class QTableWidget;

// Appends one requirement as a row at the bottom of the requirement table:
// kind text, member names joined with ", ", and the status "待验证".
void appendConstraintRow(QTableWidget *table, ConstraintKind kind, const Constraint &constraint,
                         const ClassModel &model);
