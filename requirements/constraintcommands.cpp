// PENDING(requirements): addConstraint, removeConstraint, checkConstraints, validateConstraints, checkPersonnel.
#include "app/mainwindow.h"

void MainWindow::addConstraint() {}
void MainWindow::removeConstraint() {}
void MainWindow::checkConstraints() {}
void MainWindow::validateConstraints() {}
void MainWindow::checkPersonnel() {}
