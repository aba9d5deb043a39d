#pragma once

#include <QIcon>

// The program's icon (":/icons/app_icon.ico"), for the application and the
// main window alike. Reading an .ico decodes every image in it, a noticeable
// share of start-up, so it is read once per process and shared.
QIcon appIcon();
