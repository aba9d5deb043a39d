#include "export/xlsx/package.h"

#include "export/automation.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <zip.h>

namespace Xlsx {
namespace {

using Automation::Error;

// Deflate rarely exceeds 1:20 on spreadsheet XML; 1:200 on a large part
// means a crafted archive.
constexpr qint64 kMaxRatio = 200;
constexpr qint64 kRatioFloor = 1024 * 1024;

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

    zip_error_t error;
    zip_error_init(&error);
    m_source = zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
    if (m_source)
        m_archive = zip_open_from_source(m_source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (!m_archive) {
        if (m_source)
            zip_source_free(m_source);
        m_source = nullptr;
        damaged(path, QStringLiteral("不是 zip 压缩包"));
    }

    const zip_int64_t count = zip_get_num_entries(m_archive, 0);
    if (count > kMaxEntries)
        damaged(path, QStringLiteral("条目过多"));
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_archive, zip_uint64_t(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
            damaged(path, QStringLiteral("目录无法读取"));
        const qint64 size = qint64(stat.size);
        const qint64 compressed = qint64(stat.comp_size);
        if (size > kMaxPartSize || (size > kRatioFloor && size > compressed * kMaxRatio))
            damaged(path, QStringLiteral("条目 %1 解压后大小异常").arg(QString::fromUtf8(stat.name)));
        Entry entry;
        entry.name = QString::fromUtf8(stat.name);
        entry.index = index;
        m_byName.insert(entry.name, int(m_entries.size()));
        m_entries.append(entry);
    }
}

Package::~Package()
{
    if (m_archive)
        zip_discard(m_archive); // also frees m_source
}

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

    zip_file_t *file = zip_fopen_index(m_archive, zip_uint64_t(entry->index), 0);
    if (!file)
        damaged(m_path, QStringLiteral("无法解压 %1").arg(name));
    QByteArray data;
    char buffer[65536];
    for (;;) {
        const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
        if (got < 0) {
            zip_fclose(file);
            damaged(m_path, QStringLiteral("无法解压 %1").arg(name));
        }
        if (got == 0)
            break;
        // The header's size may lie; never inflate beyond the limit.
        if (data.size() + got > kMaxPartSize) {
            zip_fclose(file);
            damaged(m_path, QStringLiteral("条目 %1 解压后大小异常").arg(name));
        }
        data.append(buffer, qsizetype(got));
    }
    if (zip_fclose(file) != 0)
        damaged(m_path, QStringLiteral("%1 校验失败").arg(name));
    return data;
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
    const QString failed = QStringLiteral("无法生成工作簿文件");
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t *target = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
    zip_error_fini(&error);
    if (!target) {
        if (buffer)
            zip_source_free(buffer);
        throw Error(failed);
    }
    // Keep the buffer alive after zip_close so that its content can be read.
    zip_source_keep(buffer);

    auto abandon = [&] {
        zip_discard(target);
        zip_source_free(buffer);
        throw Error(failed);
    };

    for (const Entry &entry : m_entries) {
        if (entry.removed)
            continue;
        const QByteArray name = entry.name.toUtf8();
        if (name.endsWith('/')) {
            if (zip_dir_add(target, name.constData(), ZIP_FL_ENC_UTF_8) < 0)
                abandon();
            continue;
        }
        zip_source_t *source = entry.replaced
            ? zip_source_buffer(target, entry.data.constData(), zip_uint64_t(entry.data.size()), 0)
            : zip_source_zip(target, m_archive, zip_uint64_t(entry.index), 0, 0, -1);
        if (!source)
            abandon();
        if (zip_file_add(target, name.constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            abandon();
        }
    }
    if (zip_close(target) != 0) {
        zip_discard(target);
        zip_source_free(buffer);
        throw Error(failed);
    }

    QByteArray bytes;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
        bytes.resize(qsizetype(stat.size));
        const zip_int64_t got = zip_source_read(buffer, bytes.data(), stat.size);
        zip_source_close(buffer);
        if (got != zip_int64_t(stat.size))
            bytes.clear();
    }
    zip_source_free(buffer);
    if (bytes.isEmpty())
        throw Error(failed);
    return bytes;
}

void Package::saveAs(const QString &path) const
{
    const QByteArray bytes = buildArchive();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Error(QStringLiteral("无法写入文件 %1：%2").arg(nativeName(path), file.errorString()));
}

} // namespace Xlsx
