#include "core/storage/atomicfile.h"

#include "core/storage/nativefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>

namespace AtomicFile {
namespace {

struct Faults
{
    QMutex mutex;
    bool set = false;
    TestFault fault;
};

Faults &faults()
{
    static Faults instance;
    return instance;
}

TestFault currentFault()
{
    Faults &all = faults();
    const QMutexLocker lock(&all.mutex);
    if (!all.set) {
        all.set = true;
        bool ok = false;
        const qint64 free = qEnvironmentVariable(kFreeSpaceVariable).toLongLong(&ok);
        if (ok)
            all.fault.freeSpace = free;
    }
    return all.fault;
}

// Beside the target, so that the rename stays on one file system; hidden,
// and never the name of a file that exists.
bool createTemporary(const QString &target, QString &temporary, NativeFile::Handle &handle, QString &error)
{
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = info.dir().filePath(QStringLiteral(".%1.%2.tmp")
                                            .arg(info.fileName())
                                            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        if (QFileInfo::exists(temporary))
            continue;
        if (NativeFile::createNew(temporary, target, handle, error))
            return true;
        if (QFileInfo::exists(temporary))
            continue; // taken meanwhile
        return false;
    }
    return false;
}

// The bytes as the disk gives them back, compared with what was written.
bool readsBack(const QString &path, QByteArrayView content, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    if (file.size() != content.size()) {
        error = QStringLiteral("写入后的文件大小不对（%1 字节，应为 %2 字节）").arg(file.size()).arg(content.size());
        return false;
    }
    if (file.readAll() != content) {
        error = QStringLiteral("写入后读回的内容与原内容不同");
        return false;
    }
    return true;
}

} // namespace

void setTestFault(const TestFault &fault)
{
    Faults &all = faults();
    const QMutexLocker lock(&all.mutex);
    all.set = true;
    all.fault = fault;
}

QString write(const QString &path, QByteArrayView content)
{
    const TestFault fault = currentFault();
    // A link is followed, so that the file it names is replaced, not the link.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QString folder = QFileInfo(target).absolutePath();
    if (QFileInfo(target).isDir())
        return QStringLiteral("目标是文件夹");

    QString temporary;
    NativeFile::Handle handle = 0;
    QString error;
    if (!createTemporary(target, temporary, handle, error))
        return error.isEmpty() ? QStringLiteral("无法在文件夹 %1 中创建文件").arg(QDir::toNativeSeparators(folder)) : error;

    bool ok = NativeFile::writeAll(handle, content.data(), content.size(), fault.freeSpace, error);
    if (ok && fault.failSync) {
        error = QStringLiteral("无法把文件写入磁盘");
        ok = false;
    }
    ok = ok && NativeFile::syncToDisk(handle, error);
    QString closeError;
    const bool closed = NativeFile::close(handle, closeError);
    if (ok && !closed) {
        error = closeError;
        ok = false;
    }
    ok = ok && readsBack(temporary, content, error);
    if (ok && fault.failRename) {
        error = QStringLiteral("无法替换原文件");
        ok = false;
    }
    ok = ok && NativeFile::replace(temporary, target, error);
    if (!ok) {
        QFile::remove(temporary);
        return error;
    }
    NativeFile::syncFolder(folder);
    return QString();
}

} // namespace AtomicFile
