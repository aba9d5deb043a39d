// PENDING(engine): generateGroups, buildGroups, refreshResultTable, showGroupDetails, buildPersonGroupMap.
#include "app/mainwindow.h"

void MainWindow::generateGroups() {}
Grouping MainWindow::buildGroups() { return {}; }
void MainWindow::refreshResultTable() {}
void MainWindow::showGroupDetails(int, int) {}
QMap<PersonId, int> MainWindow::buildPersonGroupMap() const { return personGroupMap(model.generatedGroups); }
