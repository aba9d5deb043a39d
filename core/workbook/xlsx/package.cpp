#include "core/workbook/xlsx/package.h"

#include "core/workbook/automation.h"
#include "core/workbook/xlsx/zipreader.h"
#include "core/workbook/xlsx/zipwriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <zlib.h>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>

namespace Xlsx {
namespace {

using Automation::Error;

// Deflate rarely exceeds 1:20 on spreadsheet XML; 1:200 on a large part
// means a crafted archive.
constexpr qint64 kMaxRatio = 200;
constexpr qint64 kRatioFloor = 1024 * 1024;

DeviceWrite &deviceWrite()
{
    static DeviceWrite write;
    return write;
}

// Rewritten parts are deflated at this level. Measured on the shipped
// template and on 200 x 60 grids: level 1 is a quarter faster than 6 on large
// sheets for files 5% (template) to 25% (grid) larger, and 9 takes twice the
// time of 6 without making the files any smaller. A plan of a few kilobytes
// gains nothing from the stronger levels.
constexpr int kCompressionLevel = 1;

int &compressionLevel()
{
    static int level = kCompressionLevel;
    return level;
}

// The device's own answer to whether the bytes reached it, empty when they
// did. QSaveFile syncs too but does not look at the result, and a network
// file system may only report a full disk or quota here.
QString syncError(QSaveFile &file)
{
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
#else
    Q_UNUSED(file);
#endif
    return QString();
}

QString nativeName(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void damaged(const QString &path, const QString &detail)
{
    throw Error(QStringLiteral("模板文件 %1 已损坏或不是有效的 xlsx 工作簿（%2）").arg(nativeName(path), detail));
}

} // namespace

Package::Package(const QString &path)
    : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("无法读取模板文件 %1").arg(nativeName(path)));
    if (file.size() > kMaxFileSize)
        damaged(path, QStringLiteral("文件过大"));
    m_bytes = file.readAll();

    QList<ZipEntry> stored;
    switch (readZipDirectory(m_bytes, kMaxEntries, stored)) {
    case ZipDirectory::Read:
        break;
    case ZipDirectory::NotZip:
        damaged(path, QStringLiteral("不是 zip 压缩包"));
    case ZipDirectory::TooManyEntries:
        damaged(path, QStringLiteral("条目过多"));
    case ZipDirectory::Unreadable:
        damaged(path, QStringLiteral("目录无法读取"));
    }
    m_entries.reserve(stored.size());
    for (ZipEntry &zipEntry : stored) {
        Entry entry;
        entry.name = QString::fromUtf8(zipEntry.name);
        const quint64 size = zipEntry.size;
        const quint64 compressed = zipEntry.compressedSize;
        if (size > quint64(kMaxPartSize) || (size > quint64(kRatioFloor) && size > compressed * kMaxRatio))
            damaged(path, QStringLiteral("条目 %1 解压后大小异常").arg(entry.name));
        entry.copyable = (zipEntry.method == 0 || zipEntry.method == Z_DEFLATED) && !zipEntry.encrypted
            && compressed <= quint64(kMaxPartSize);
        entry.inTemplate = true;
        entry.stored = std::move(zipEntry);
        m_byName.insert(entry.name, int(m_entries.size()));
        m_entries.append(std::move(entry));
    }
}

Package::~Package() = default;

const Package::Entry *Package::find(const QString &name) const
{
    const auto it = m_byName.constFind(name);
    if (it == m_byName.constEnd() || m_entries.at(it.value()).removed)
        return nullptr;
    return &m_entries.at(it.value());
}

bool Package::contains(const QString &name) const
{
    return find(name) != nullptr;
}

QByteArray Package::read(const QString &name) const
{
    const Entry *entry = find(name);
    if (!entry)
        damaged(m_path, QStringLiteral("缺少 %1").arg(name));
    if (entry->replaced || !entry->inTemplate)
        return entry->data;

    QByteArray data;
    switch (readZipEntry(m_bytes, entry->stored, kMaxPartSize, data)) {
    case ZipRead::Complete:
        return data;
    case ZipRead::Unreadable:
        damaged(m_path, QStringLiteral("无法解压 %1").arg(name));
    case ZipRead::TooLarge:
        damaged(m_path, QStringLiteral("条目 %1 解压后大小异常").arg(name));
    case ZipRead::BadChecksum:
        break;
    }
    damaged(m_path, QStringLiteral("%1 校验失败").arg(name));
}

void Package::write(const QString &name, const QByteArray &data)
{
    const auto it = m_byName.constFind(name);
    if (it != m_byName.constEnd()) {
        Entry &entry = m_entries[it.value()];
        entry.replaced = true;
        entry.removed = false;
        entry.data = data;
        return;
    }
    Entry entry;
    entry.name = name;
    entry.replaced = true;
    entry.data = data;
    m_byName.insert(name, int(m_entries.size()));
    m_entries.append(entry);
}

void Package::remove(const QString &name)
{
    const auto it = m_byName.constFind(name);
    if (it != m_byName.constEnd())
        m_entries[it.value()].removed = true;
}

QByteArray Package::buildArchive() const
{
    // Every entry gets the time of the save, as spreadsheet programs do.
    ZipWriter writer(compressionLevel(), QDateTime::currentDateTime());
    for (const Entry &entry : m_entries) {
        if (entry.removed)
            continue;
        const QByteArray name = entry.name.toUtf8();
        if (name.endsWith('/'))
            writer.addDirectory(name);
        else if (entry.replaced)
            writer.addDeflated(name, entry.data);
        else if (entry.copyable)
            writer.addCompressed(name, {entry.stored.method, entry.stored.crc, quint32(entry.stored.size),
                                        readCompressed(entry)});
        else
            writer.addDeflated(name, read(entry.name));
    }
    return writer.finish();
}

QByteArray Package::readCompressed(const Entry &entry) const
{
    QByteArray data;
    if (readZipStored(m_bytes, entry.stored, data) != ZipRead::Complete)
        damaged(m_path, QStringLiteral("无法读取 %1").arg(entry.name));
    return data;
}

void Package::saveAs(const QString &path) const
{
    const QByteArray bytes = buildArchive();
    QSaveFile file(path);
    const auto fail = [&](const QString &detail) {
        throw Error(QStringLiteral("无法写入文件 %1：%2").arg(nativeName(path), detail));
    };
    // Unbuffered, so that a full disk shows in the write itself rather than
    // in a flush inside commit() that would go unreported.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(file.errorString());
    const DeviceWrite &write = deviceWrite();
    for (qint64 done = 0; done < bytes.size();) {
        const char *data = bytes.constData() + done;
        const qint64 size = bytes.size() - done;
        const qint64 written = write ? write(file, data, size) : file.write(data, size);
        if (written <= 0)
            fail(file.errorString());
        done += written;
    }
    if (file.error() != QFileDevice::NoError)
        fail(file.errorString());
    if (const QString error = syncError(file); !error.isEmpty())
        fail(error);
    if (!file.commit())
        fail(file.errorString());
}

bool Package::isIntact(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.size() <= kMaxFileSize
        && isCompleteZip(file.readAll(), "[Content_Types].xml");
}

void setDeviceWriteForTesting(DeviceWrite write)
{
    deviceWrite() = std::move(write);
}

void setCompressionLevelForTesting(int level)
{
    compressionLevel() = level < 1 || level > 9 ? kCompressionLevel : level;
}

} // namespace Xlsx
