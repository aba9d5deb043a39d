#pragma once

#include <QString>

// The file operations AtomicFile builds on, each checked and each failure
// told in words; one implementation per platform (nativefile_posix.cpp,
// nativefile_win.cpp).
namespace NativeFile {

using Handle = qintptr;

// Creates a file that must not exist yet, for writing, with the permissions
// of `like` when that file exists.
bool createNew(const QString &path, const QString &like, Handle &handle, QString &error);
// Writes all of it, or fails; `limit` (negative: none) stands for the free
// space of a test's full disk.
bool writeAll(Handle handle, const char *data, qint64 size, qint64 limit, QString &error);
bool syncToDisk(Handle handle, QString &error);
bool close(Handle handle, QString &error);
// Puts `from` in the place of `to` in one step, replacing it.
bool replace(const QString &from, const QString &to, QString &error);
// Makes a finished rename durable where the platform needs the folder synced.
void syncFolder(const QString &folder);

// The cause of an operating-system error code (errno or GetLastError) in words.
QString describeError(int code);
// The cause of a full disk, as describeError gives it.
QString noSpaceError();

} // namespace NativeFile
