#include "core/storage/nativefile.h"

#include <QDir>

#include <windows.h>

#include <algorithm>

namespace NativeFile {

QString describeError(int code)
{
    switch (DWORD(code)) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return QStringLiteral("磁盘空间不足");
    case ERROR_WRITE_PROTECT: return QStringLiteral("磁盘是只读的");
    case ERROR_ACCESS_DENIED: return QStringLiteral("没有写入权限");
    case ERROR_PATH_NOT_FOUND: return QStringLiteral("文件夹不存在");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return QStringLiteral("文件正被其他程序使用");
    default: break;
    }
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, DWORD(code), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    const QString message = length ? QString::fromWCharArray(text, int(length)).trimmed()
                                   : QStringLiteral("错误 %1").arg(code);
    LocalFree(text);
    return message;
}

QString noSpaceError()
{
    return describeError(ERROR_DISK_FULL);
}

bool createNew(const QString &path, const QString &like, Handle &handle, QString &error)
{
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = describeError(int(GetLastError()));
        return false;
    }
    Q_UNUSED(like) // NTFS permissions are inherited from the folder
    handle = reinterpret_cast<Handle>(file);
    return true;
}

bool writeAll(Handle handle, const char *data, qint64 size, qint64 limit, QString &error)
{
    qint64 done = 0;
    while (done < size) {
        qint64 chunk = std::min<qint64>(size - done, 1 << 30);
        if (limit >= 0)
            chunk = std::min(chunk, limit - done);
        if (chunk <= 0) {
            error = noSpaceError();
            return false;
        }
        DWORD written = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(handle), data + done, DWORD(chunk), &written, nullptr)
            || written == 0) {
            error = describeError(int(GetLastError()));
            return false;
        }
        done += written;
    }
    return true;
}

bool syncToDisk(Handle handle, QString &error)
{
    if (FlushFileBuffers(reinterpret_cast<HANDLE>(handle)))
        return true;
    error = describeError(int(GetLastError()));
    return false;
}

bool close(Handle handle, QString &error)
{
    if (CloseHandle(reinterpret_cast<HANDLE>(handle)))
        return true;
    error = describeError(int(GetLastError()));
    return false;
}

bool replace(const QString &from, const QString &to, QString &error)
{
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = describeError(int(GetLastError()));
    return false;
}

void syncFolder(const QString &)
{
    // MOVEFILE_WRITE_THROUGH has made the rename durable.
}

} // namespace NativeFile
