#include "core/storage/appdirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString &overriddenDirectory()
{
    static QString directory;
    return directory;
}

// <prefix>/share/quorvane for an executable in <prefix>/bin; any prefix works.
QString installedDataDirectory()
{
    return QDir::cleanPath(appDirectory() + QStringLiteral("/../share/quorvane"));
}

// The generic locations plus our own name equal AppConfigLocation and
// AppDataLocation of the program, whatever the running process is called.
QString userFolder(QStandardPaths::StandardLocation generic)
{
    return QStandardPaths::writableLocation(generic) + u'/' + kApplicationName;
}

QString documentsDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
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

DataMode dataMode()
{
    const QString directory = appDirectory();
    if (QFileInfo::exists(directory + QStringLiteral("/config.ini")))
        return DataMode::Portable;
    if (QFileInfo(installedDataDirectory()).isDir())
        return DataMode::Installed;
    return QFileInfo(directory).isWritable() ? DataMode::Portable : DataMode::Installed;
}

QString configFilePath()
{
    if (dataMode() == DataMode::Portable)
        return appDirectory() + QStringLiteral("/config.ini");
    return userFolder(QStandardPaths::GenericConfigLocation) + QStringLiteral("/config.ini");
}

QString templateDirectory()
{
    if (dataMode() == DataMode::Portable)
        return appDirectory();
    return userFolder(QStandardPaths::GenericDataLocation) + QStringLiteral("/templates");
}

QString fallbackTemplateDirectory()
{
    // Without an installed tree (a folder install on Windows), the shipped
    // templates stand beside the executable.
    const QString installed = installedDataDirectory() + QStringLiteral("/templates");
    return QFileInfo(installed).isDir() ? installed : appDirectory();
}

QString saveDirectory()
{
    if (dataMode() == DataMode::Portable)
        return appDirectory();
    return documentsDirectory() + u'/' + kPlanFolderName;
}

QString saveDialogDirectory()
{
    if (dataMode() == DataMode::Portable)
        return QString();
    const QString directory = saveDirectory();
    return QFileInfo(directory).isDir() ? directory : documentsDirectory();
}

QString fileDialogDirectory()
{
    if (dataMode() == DataMode::Portable)
        return appDirectory();
    return saveDialogDirectory();
}

QString demoClassPath()
{
    const QString path = installedDataDirectory() + QStringLiteral("/examples/config.ini");
    return QFileInfo::exists(path) ? path : QString();
}

bool isFirstRun()
{
    return dataMode() == DataMode::Installed && !QFileInfo::exists(configFilePath()) && !demoClassPath().isEmpty();
}
