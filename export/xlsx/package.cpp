#include "export/xlsx/package.h"

#include "export/automation.h"
#include "export/xlsx/zipwriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <zip.h>

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

struct SourceDeleter
{
    void operator()(zip_source_t *source) const { zip_source_free(source); }
};
using SourceHandle = std::unique_ptr<zip_source_t, SourceDeleter>;

struct FileCloser
{
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};
using FileHandle = std::unique_ptr<zip_file_t, FileCloser>;

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

// Opens an archive over a source; the archive owns the source from then on,
// and on failure the source is freed here.
zip_t *openFromSource(SourceHandle source, int flags)
{
    if (!source)
        return nullptr;
    zip_error_t error;
    zip_error_init(&error);
    zip_t *archive = zip_open_from_source(source.get(), flags, &error);
    zip_error_fini(&error);
    if (archive)
        source.release();
    return archive;
}

SourceHandle bufferSource(const void *data, zip_uint64_t size)
{
    zip_error_t error;
    zip_error_init(&error);
    SourceHandle source(zip_source_buffer_create(data, size, 0, &error));
    zip_error_fini(&error);
    return source;
}

enum class ReadOutcome { Complete, Unreadable, TooLarge, BadChecksum };

// Reads an entry to its end; expected is the size the directory gives, a
// hint only.
ReadOutcome readEntry(zip_t *archive, zip_uint64_t index, qint64 expected, qint64 limit, QByteArray &data)
{
    FileHandle file(zip_fopen_index(archive, index, 0));
    if (!file)
        return ReadOutcome::Unreadable;
    constexpr qint64 kChunk = 65536;
    // One more than expected, so that the end shows without growing.
    data.resize(qsizetype(qBound<qint64>(0, expected, limit) + 1));
    qint64 total = 0;
    for (;;) {
        if (total == data.size())
            data.resize(qsizetype(total + kChunk));
        const zip_int64_t got = zip_fread(file.get(), data.data() + total, zip_uint64_t(data.size() - total));
        if (got < 0)
            return ReadOutcome::Unreadable;
        if (got == 0)
            break;
        total += got;
        // The header's size may lie; never inflate beyond the limit.
        if (total > limit)
            return ReadOutcome::TooLarge;
    }
    data.resize(qsizetype(total));
    return zip_fclose(file.release()) == 0 ? ReadOutcome::Complete : ReadOutcome::BadChecksum;
}

} // namespace

void Package::ArchiveDeleter::operator()(zip *archive) const
{
    zip_discard(archive); // also frees the source it was opened from
}

Package::Package(const QString &path)
    : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("无法读取模板文件 %1").arg(nativeName(path)));
    if (file.size() > kMaxFileSize)
        damaged(path, QStringLiteral("文件过大"));
    m_bytes = file.readAll();

    m_archive.reset(openFromSource(bufferSource(m_bytes.constData(), zip_uint64_t(m_bytes.size())), ZIP_RDONLY));
    if (!m_archive)
        damaged(path, QStringLiteral("不是 zip 压缩包"));

    const zip_int64_t count = zip_get_num_entries(m_archive.get(), 0);
    if (count > kMaxEntries)
        damaged(path, QStringLiteral("条目过多"));
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_archive.get(), zip_uint64_t(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
            damaged(path, QStringLiteral("目录无法读取"));
        const qint64 size = qint64(stat.size);
        const qint64 compressed = qint64(stat.comp_size);
        if (size > kMaxPartSize || (size > kRatioFloor && size > compressed * kMaxRatio))
            damaged(path, QStringLiteral("条目 %1 解压后大小异常").arg(QString::fromUtf8(stat.name)));
        Entry entry;
        entry.name = QString::fromUtf8(stat.name);
        entry.index = index;
        constexpr zip_uint64_t kKnown = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD;
        entry.copyable = (stat.valid & kKnown) == kKnown
            && (stat.comp_method == ZIP_CM_STORE || stat.comp_method == ZIP_CM_DEFLATE)
            && !((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
            && compressed <= kMaxPartSize;
        entry.method = quint16(stat.comp_method);
        entry.crc = stat.crc;
        entry.size = quint32(size);
        entry.compressedSize = quint32(compressed);
        m_byName.insert(entry.name, int(m_entries.size()));
        m_entries.append(entry);
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
    if (entry->replaced || entry->index < 0)
        return entry->data;

    QByteArray data;
    switch (readEntry(m_archive.get(), zip_uint64_t(entry->index), entry->size, kMaxPartSize, data)) {
    case ReadOutcome::Complete:
        return data;
    case ReadOutcome::Unreadable:
        damaged(m_path, QStringLiteral("无法解压 %1").arg(name));
    case ReadOutcome::TooLarge:
        damaged(m_path, QStringLiteral("条目 %1 解压后大小异常").arg(name));
    case ReadOutcome::BadChecksum:
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
            writer.addCompressed(name, {entry.method, entry.crc, entry.size, readCompressed(entry)});
        else
            writer.addDeflated(name, read(entry.name));
    }
    return writer.finish();
}

QByteArray Package::readCompressed(const Entry &entry) const
{
    QByteArray data(qsizetype(entry.compressedSize), Qt::Uninitialized);
    FileHandle file(zip_fopen_index(m_archive.get(), zip_uint64_t(entry.index), ZIP_FL_COMPRESSED));
    if (!file || zip_fread(file.get(), data.data(), entry.compressedSize) != zip_int64_t(entry.compressedSize))
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
