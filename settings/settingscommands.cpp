// PENDING(settings): showSettingsDialog and the settings save.
#include "app/mainwindow.h"

void MainWindow::showSettingsDialog() {}
