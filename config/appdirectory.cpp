#include "config/appdirectory.h"

#include <QCoreApplication>

namespace {
QString &overriddenDirectory()
{
    static QString directory;
    return directory;
}
} // namespace

QString appDirectory()
{
    const QString &overridden = overriddenDirectory();
    return overridden.isEmpty() ? QCoreApplication::applicationDirPath() : overridden;
}

void setAppDirectoryForTesting(const QString &directory)
{
    overriddenDirectory() = directory;
}

QString configFilePath()
{
    return appDirectory() + QStringLiteral("/config.ini");
}
