#include "core/workbook/xlsx/zipreader.h"

#include "core/workbook/xlsx/zipformat.h"

#include <zlib.h>

namespace Xlsx {
namespace {

using namespace ZipFormat;

constexpr quint32 kZip64EndSignature = 0x06064b50;
constexpr quint32 kZip64LocatorSignature = 0x07064b50;
constexpr quint16 kZip64Extra = 0x0001;
constexpr qint64 kZip64EndSize = 56;
constexpr qint64 kZip64LocatorSize = 20;

bool within(const QByteArray &bytes, quint64 at, quint64 size)
{
    return at <= quint64(bytes.size()) && size <= quint64(bytes.size()) - at;
}

// The end record, with a comment of at most its own stated length after it;
// -1 when there is none.
qint64 findEnd(const QByteArray &bytes)
{
    const qint64 last = qint64(bytes.size()) - kEndSize;
    for (qint64 at = last; at >= 0 && at >= last - 0xFFFF; --at) {
        if (field(bytes, at, 4) == kEndSignature && at + kEndSize + qint64(field(bytes, at + 20, 2)) <= bytes.size())
            return at;
    }
    return -1;
}

// Fills in the directory's 0xFFFF / 0xFFFFFFFF fields from the zip64 end
// record; false when it is missing or spans disks.
bool readZip64End(const QByteArray &bytes, qint64 end, quint64 &count, quint64 &size, quint64 &offset)
{
    const qint64 locator = end - kZip64LocatorSize;
    if (locator < 0 || field(bytes, locator, 4) != kZip64LocatorSignature || field(bytes, locator + 4, 4) != 0)
        return false;
    const quint64 record = field(bytes, locator + 8, 8);
    if (!within(bytes, record, kZip64EndSize) || field(bytes, qint64(record), 4) != kZip64EndSignature
        || field(bytes, qint64(record) + 16, 8) != 0)
        return false;
    count = field(bytes, qint64(record) + 32, 8);
    size = field(bytes, qint64(record) + 40, 8);
    offset = field(bytes, qint64(record) + 48, 8);
    return field(bytes, qint64(record) + 24, 8) == count;
}

// Sizes and offset the directory entry marks 0xFFFFFFFF come, in this order,
// from its zip64 extra field. Other extra fields, and padding after them,
// are passed over; false when a marked value is missing.
bool readZip64Extra(const QByteArray &bytes, qint64 at, qint64 length, ZipEntry &entry)
{
    quint64 *const values[] = {&entry.size, &entry.compressedSize, &entry.localHeader};
    for (const qint64 end = at + length; at + 4 <= end;) {
        const qint64 size = qint64(field(bytes, at + 2, 2));
        if (at + 4 + size > end)
            break;
        if (field(bytes, at, 2) == kZip64Extra) {
            qint64 next = at + 4;
            for (quint64 *value : values) {
                if (*value == 0xFFFFFFFFu && next + 8 <= at + 4 + size) {
                    *value = field(bytes, next, 8);
                    next += 8;
                }
            }
            break;
        }
        at += 4 + size;
    }
    return entry.size != 0xFFFFFFFFu && entry.compressedSize != 0xFFFFFFFFu && entry.localHeader != 0xFFFFFFFFu;
}

// Where the entry's data starts, after its own header; false when that
// header or the data lies outside the archive.
bool dataStart(const QByteArray &bytes, const ZipEntry &entry, qint64 &start)
{
    if (!within(bytes, entry.localHeader, kLocalSize))
        return false;
    const qint64 header = qint64(entry.localHeader);
    if (field(bytes, header, 4) != kLocalSignature)
        return false;
    start = header + kLocalSize + qint64(field(bytes, header + 26, 2)) + qint64(field(bytes, header + 28, 2));
    return within(bytes, quint64(start), entry.compressedSize);
}

// One inflate stream per thread, reset between entries, as the writer does.
class Inflater
{
public:
    ~Inflater()
    {
        if (m_ready)
            inflateEnd(&m_stream);
    }

    z_stream *stream()
    {
        if (m_ready)
            return inflateReset(&m_stream) == Z_OK ? &m_stream : nullptr;
        m_stream = z_stream();
        // Raw deflate, as zip entries hold it.
        m_ready = inflateInit2(&m_stream, -MAX_WBITS) == Z_OK;
        return m_ready ? &m_stream : nullptr;
    }

private:
    z_stream m_stream{};
    bool m_ready = false;
};

ZipRead inflateInto(const char *input, qint64 inputSize, qint64 expected, qint64 limit, QByteArray &data)
{
    thread_local Inflater inflater;
    z_stream *stream = inflater.stream();
    if (!stream)
        return ZipRead::Unreadable;
    constexpr qint64 kChunk = 65536;
    // One more than expected, so that the end shows without growing.
    data.resize(qsizetype(qBound<qint64>(0, expected, limit) + 1));
    stream->next_in = reinterpret_cast<Bytef *>(const_cast<char *>(input));
    stream->avail_in = uInt(inputSize);
    qint64 total = 0;
    for (;;) {
        if (total == data.size())
            data.resize(qsizetype(total + kChunk));
        stream->next_out = reinterpret_cast<Bytef *>(data.data() + total);
        stream->avail_out = uInt(data.size() - total);
        const int result = inflate(stream, Z_NO_FLUSH);
        total = data.size() - qint64(stream->avail_out);
        // The header's size may lie; never inflate beyond the limit.
        if (total > limit)
            return ZipRead::TooLarge;
        if (result == Z_STREAM_END)
            break;
        if (result != Z_OK && !(result == Z_BUF_ERROR && stream->avail_out == 0))
            return ZipRead::Unreadable;
    }
    data.resize(qsizetype(total));
    return ZipRead::Complete;
}

} // namespace

ZipDirectory readZipDirectory(const QByteArray &bytes, qint64 maxEntries, QList<ZipEntry> &entries)
{
    entries.clear();
    const qint64 end = findEnd(bytes);
    if (end < 0)
        return ZipDirectory::NotZip;
    quint64 count = field(bytes, end + 10, 2);
    quint64 size = field(bytes, end + 12, 4);
    quint64 offset = field(bytes, end + 16, 4);
    if (count == 0xFFFF || size == 0xFFFFFFFFu || offset == 0xFFFFFFFFu) {
        if (!readZip64End(bytes, end, count, size, offset))
            return ZipDirectory::Unreadable;
    } else if (field(bytes, end + 4, 2) != 0 || field(bytes, end + 6, 2) != 0 || field(bytes, end + 8, 2) != count) {
        return ZipDirectory::Unreadable; // spans several files
    }
    if (count > quint64(maxEntries))
        return ZipDirectory::TooManyEntries;
    if (!within(bytes, offset, size) || offset + size > quint64(end))
        return ZipDirectory::Unreadable;

    entries.reserve(qsizetype(count));
    qint64 at = qint64(offset);
    const qint64 directoryEnd = qint64(offset + size);
    for (quint64 i = 0; i < count; ++i) {
        if (at + kCentralSize > directoryEnd || field(bytes, at, 4) != kCentralSignature)
            return ZipDirectory::Unreadable;
        const qint64 nameSize = qint64(field(bytes, at + 28, 2));
        const qint64 extraSize = qint64(field(bytes, at + 30, 2));
        const qint64 next = at + kCentralSize + nameSize + extraSize + qint64(field(bytes, at + 32, 2));
        if (next > directoryEnd)
            return ZipDirectory::Unreadable;
        ZipEntry entry;
        entry.encrypted = field(bytes, at + 8, 2) & 1;
        entry.method = quint16(field(bytes, at + 10, 2));
        entry.crc = quint32(field(bytes, at + 16, 4));
        entry.compressedSize = field(bytes, at + 20, 4);
        entry.size = field(bytes, at + 24, 4);
        entry.localHeader = field(bytes, at + 42, 4);
        entry.name = bytes.mid(qsizetype(at + kCentralSize), qsizetype(nameSize));
        if (!readZip64Extra(bytes, at + kCentralSize + nameSize, extraSize, entry))
            return ZipDirectory::Unreadable;
        entries.append(std::move(entry));
        at = next;
    }
    return ZipDirectory::Read;
}

ZipRead readZipStored(const QByteArray &bytes, const ZipEntry &entry, QByteArray &data)
{
    qint64 start = 0;
    if (!dataStart(bytes, entry, start))
        return ZipRead::Unreadable;
    data = bytes.mid(qsizetype(start), qsizetype(entry.compressedSize));
    return ZipRead::Complete;
}

ZipRead readZipEntry(const QByteArray &bytes, const ZipEntry &entry, qint64 limit, QByteArray &data)
{
    qint64 start = 0;
    if (entry.encrypted || (entry.method != 0 && entry.method != Z_DEFLATED) || !dataStart(bytes, entry, start))
        return ZipRead::Unreadable;
    if (entry.method == 0) {
        if (entry.compressedSize > quint64(limit))
            return ZipRead::TooLarge;
        data = bytes.mid(qsizetype(start), qsizetype(entry.compressedSize));
    } else if (const ZipRead read = inflateInto(bytes.constData() + start, qint64(entry.compressedSize),
                                                qint64(qMin<quint64>(entry.size, quint64(limit))), limit, data);
               read != ZipRead::Complete) {
        return read;
    }
    const quint32 crc = quint32(crc32_z(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(data.constData()),
                                        size_t(data.size())));
    return crc == entry.crc && quint64(data.size()) == entry.size ? ZipRead::Complete : ZipRead::BadChecksum;
}

} // namespace Xlsx
