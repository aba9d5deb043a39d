#pragma once

#include <QString>

// The directory that holds the executable, config.ini and the templates.
// Tests point it at a temporary directory so that no test touches another's
// files or the build tree.
QString appDirectory();
void setAppDirectoryForTesting(const QString &directory);

// Absolute path of config.ini beside the executable.
QString configFilePath();
