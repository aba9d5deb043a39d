#pragma once

#include <QString>

class QTableWidgetItem;

// A cell for one student as the results table shows them: the gender colour,
// yellow instead for a boarder, bold for a leader.
QTableWidgetItem *memberItem(const QString &name, bool boy, bool leader, bool boarder);
