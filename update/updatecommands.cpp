// PENDING(update): checkForUpdates, manualUpdateCheck(bool), handleUpdateReply, showNewVersionDialog, showAboutDialog.
#include "app/mainwindow.h"

void MainWindow::checkForUpdates(bool) {}
void MainWindow::manualUpdateCheck(bool) {}
void MainWindow::handleUpdateReply(bool, QNetworkReply *) {}
void MainWindow::showNewVersionDialog(const QString &, const QString &, const QString &) {}
void MainWindow::showAboutDialog() {}
