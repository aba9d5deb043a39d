#pragma once

#include "core/model/classmodel.h"

#include <QString>

// The details of the group in result-table row `row` as rich text: a bold
// heading, the members' names (escaped) and one red warning per requirement
// the whole grouping leaves unmet. Empty when the row shows no enabled group.
QString groupDetailsHtml(const ClassModel &model, int row);
