#include "core/workbook/xlsx/zipwriter.h"

#include "core/workbook/automation.h"
#include "core/workbook/xlsx/zipformat.h"

#include <zlib.h>

#include <cstring>

namespace Xlsx {
namespace {

using namespace ZipFormat;

constexpr quint16 kVersionNeeded = 20;
constexpr quint16 kUtf8Names = 1 << 11;
constexpr quint32 kDirectoryAttribute = 0x10;

void put16(QByteArray &out, quint16 value)
{
    out.append(char(value & 0xFF)).append(char(value >> 8));
}

void put32(QByteArray &out, quint32 value)
{
    put16(out, quint16(value & 0xFFFF));
    put16(out, quint16(value >> 16));
}

qsizetype get(const QByteArray &bytes, qsizetype at, int size)
{
    return qsizetype(field(bytes, at, size));
}

// MS-DOS date in the high half, time in the low one, local time; the
// format starts in 1980.
quint32 dosTime(const QDateTime &moment)
{
    const QDateTime local = moment.toLocalTime();
    const QDate date = local.date();
    const QTime time = local.time();
    if (!date.isValid() || date.year() < 1980)
        return (1u << 21) | (1u << 16);
    const quint32 day = quint32((qMin(date.year(), 2107) - 1980) << 9 | date.month() << 5 | date.day());
    const quint32 clock = quint32(time.hour() << 11 | time.minute() << 5 | time.second() / 2);
    return day << 16 | clock;
}

bool isAscii(const QByteArray &name)
{
    for (const char c : name) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

[[noreturn]] void failed()
{
    throw Automation::Error(QStringLiteral("无法生成工作簿文件"));
}

// One deflate stream per thread, reset between parts: setting a stream up
// costs more than deflating a part of a few kilobytes.
class Deflater
{
public:
    ~Deflater()
    {
        if (m_level)
            deflateEnd(&m_stream);
    }

    z_stream &forLevel(int level)
    {
        if (m_level == level) {
            if (deflateReset(&m_stream) != Z_OK)
                failed();
            return m_stream;
        }
        if (m_level)
            deflateEnd(&m_stream);
        m_level = 0;
        m_stream = z_stream();
        // Raw deflate, as zip entries hold it. Memory level 6 rather than 8:
        // the same sizes on sheet XML, and a quarter of the table to clear
        // for every part.
        if (deflateInit2(&m_stream, level, Z_DEFLATED, -MAX_WBITS, 6, Z_DEFAULT_STRATEGY) != Z_OK)
            failed();
        m_level = level;
        return m_stream;
    }

private:
    z_stream m_stream{};
    int m_level = 0;
};

} // namespace

ZipWriter::ZipWriter(int level, const QDateTime &modified)
    : m_level(level)
    , m_dosTime(dosTime(modified))
{
}

// From "version needed" to the name's length: the same in the local and
// the central header.
void ZipWriter::putSharedFields(QByteArray &out, const Header &header)
{
    put16(out, kVersionNeeded);
    put16(out, isAscii(header.name) ? 0 : kUtf8Names);
    put16(out, header.method);
    put32(out, header.dosTime);
    put32(out, header.crc);
    put32(out, header.compressedSize);
    put32(out, header.size);
    put16(out, quint16(header.name.size()));
}

void ZipWriter::begin(Header header)
{
    if (m_bytes.size() > qsizetype(0xFFFFFFFFu) || header.name.size() > 0xFFFF || m_headers.size() >= 0xFFFF)
        failed();
    header.offset = quint32(m_bytes.size());
    put32(m_bytes, kLocalSignature);
    putSharedFields(m_bytes, header);
    put16(m_bytes, 0); // extra field
    m_bytes.append(header.name);
    m_headers.append(std::move(header));
}

void ZipWriter::addDirectory(const QByteArray &name)
{
    begin(Header{name, 0, m_dosTime, 0, 0, 0, 0, true});
}

void ZipWriter::addDeflated(const QByteArray &name, const QByteArray &data)
{
    thread_local Deflater deflater;
    z_stream &stream = deflater.forLevel(m_level);
    const uLong bound = deflateBound(&stream, uLong(data.size()));
    const quint32 crc = quint32(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(data.constData()),
                                      uInt(data.size())));
    begin(Header{name, Z_DEFLATED, m_dosTime, crc, 0, quint32(data.size()), 0, false});

    const qsizetype start = m_bytes.size();
    m_bytes.resize(start + qsizetype(bound));
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(m_bytes.data() + start);
    stream.avail_out = uInt(bound);
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
        failed();
    const quint32 written = quint32(bound - stream.avail_out);
    m_bytes.resize(start + qsizetype(written));

    // The compressed size is known only now; it sits 18 bytes into the
    // local header.
    Header &header = m_headers.last();
    header.compressedSize = written;
    char *field = m_bytes.data() + header.offset + 18;
    for (int i = 0; i < 4; ++i)
        field[i] = char((written >> (8 * i)) & 0xFF);
}

void ZipWriter::addCompressed(const QByteArray &name, const CompressedEntry &entry)
{
    begin(Header{name, entry.method, m_dosTime, entry.crc, quint32(entry.data.size()), entry.size, 0, false});
    m_bytes.append(entry.data);
}

QByteArray ZipWriter::finish()
{
    const quint32 directoryStart = quint32(m_bytes.size());
    for (const Header &header : std::as_const(m_headers)) {
        put32(m_bytes, kCentralSignature);
        put16(m_bytes, kVersionNeeded); // made by: MS-DOS attributes
        putSharedFields(m_bytes, header);
        put16(m_bytes, 0); // extra field
        put16(m_bytes, 0); // comment
        put16(m_bytes, 0); // disk
        put16(m_bytes, 0); // internal attributes
        put32(m_bytes, header.directory ? kDirectoryAttribute : 0);
        put32(m_bytes, header.offset);
        m_bytes.append(header.name);
    }
    const quint32 directorySize = quint32(m_bytes.size()) - directoryStart;
    put32(m_bytes, kEndSignature);
    put16(m_bytes, 0);
    put16(m_bytes, 0);
    put16(m_bytes, quint16(m_headers.size()));
    put16(m_bytes, quint16(m_headers.size()));
    put32(m_bytes, directorySize);
    put32(m_bytes, directoryStart);
    put16(m_bytes, 0);
    return std::move(m_bytes);
}

bool isCompleteZip(const QByteArray &bytes, const QByteArray &required)
{
    // The end record, with a comment of any length after it.
    qsizetype end = bytes.size() - kEndSize;
    const qsizetype earliest = qMax<qsizetype>(0, end - 0xFFFF);
    while (end >= earliest && !(get(bytes, end, 4) == kEndSignature && end + kEndSize + get(bytes, end + 20, 2) == bytes.size()))
        --end;
    if (end < earliest)
        return false;
    const quint32 count = get(bytes, end + 10, 2);
    qsizetype at = get(bytes, end + 16, 4);
    if (get(bytes, end + 8, 2) != count || at + qsizetype(get(bytes, end + 12, 4)) != end)
        return false;
    bool found = false;
    for (quint32 i = 0; i < count; ++i) {
        if (at + kCentralSize > end || get(bytes, at, 4) != kCentralSignature)
            return false;
        const qsizetype nameSize = get(bytes, at + 28, 2);
        const qsizetype next = at + kCentralSize + nameSize + get(bytes, at + 30, 2) + get(bytes, at + 32, 2);
        const qsizetype local = get(bytes, at + 42, 4);
        const qsizetype data = local + kLocalSize + nameSize;
        if (next > end || data > end || get(bytes, local, 4) != kLocalSignature
            || qsizetype(get(bytes, local + 26, 2)) != nameSize
            || std::memcmp(bytes.constData() + local + kLocalSize, bytes.constData() + at + kCentralSize, size_t(nameSize))
            || data + get(bytes, local + 28, 2) + qsizetype(get(bytes, at + 20, 4)) > end)
            return false;
        found = found || QByteArrayView(bytes.constData() + at + kCentralSize, nameSize) == required;
        at = next;
    }
    return found && at == end;
}

} // namespace Xlsx
