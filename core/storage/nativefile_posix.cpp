#include "core/storage/nativefile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace NativeFile {

QString describeError(int code)
{
    switch (code) {
    case ENOSPC: return QStringLiteral("磁盘空间不足");
    case EDQUOT: return QStringLiteral("磁盘配额已用完");
    case EROFS: return QStringLiteral("磁盘是只读的");
    case EACCES:
    case EPERM: return QStringLiteral("没有写入权限");
    case ENOENT: return QStringLiteral("文件夹不存在");
    case EFBIG: return QStringLiteral("文件过大");
    case EIO: return QStringLiteral("磁盘读写错误");
    default: return QString::fromLocal8Bit(std::strerror(code));
    }
}

QString noSpaceError()
{
    return describeError(ENOSPC);
}

bool createNew(const QString &path, const QString &like, Handle &handle, QString &error)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = describeError(errno);
        return false;
    }
    // The replacement keeps what the target allowed (a config.ini kept private stays so).
    struct stat existing{};
    if (::stat(QFile::encodeName(like).constData(), &existing) == 0)
        ::fchmod(fd, existing.st_mode & 07777);
    handle = fd;
    return true;
}

bool writeAll(Handle handle, const char *data, qint64 size, qint64 limit, QString &error)
{
    qint64 done = 0;
    while (done < size) {
        qint64 chunk = size - done;
        if (limit >= 0)
            chunk = std::min(chunk, limit - done);
        if (chunk <= 0) {
            error = noSpaceError();
            return false;
        }
        const ssize_t written = ::write(int(handle), data + done, size_t(chunk));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = describeError(written < 0 ? errno : ENOSPC);
            return false;
        }
        done += written;
    }
    return true;
}

bool syncToDisk(Handle handle, QString &error)
{
    if (::fsync(int(handle)) == 0)
        return true;
    error = describeError(errno);
    return false;
}

bool close(Handle handle, QString &error)
{
    // Some file systems (NFS) report a failed write only here.
    if (::close(int(handle)) == 0)
        return true;
    error = describeError(errno);
    return false;
}

bool replace(const QString &from, const QString &to, QString &error)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    error = describeError(errno);
    return false;
}

void syncFolder(const QString &folder)
{
    // The rename has happened; a folder that cannot be synced changes nothing the user can act on.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace NativeFile
