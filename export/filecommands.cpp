// PENDING(export): exportSeatingPlan, newFile, saveFile, saveAs, writeSeatTable.
#include "app/mainwindow.h"

void MainWindow::exportSeatingPlan() {}
void MainWindow::newFile() {}
void MainWindow::saveFile() {}
void MainWindow::saveAs() {}
bool MainWindow::writeSeatTable(const QString &) { return false; }
