#pragma once

#include <QByteArray>

// The zip format's records, as the reader and the writer share them.
namespace Xlsx::ZipFormat {

constexpr quint32 kLocalSignature = 0x04034b50;
constexpr quint32 kCentralSignature = 0x02014b50;
constexpr quint32 kEndSignature = 0x06054b50;
constexpr qint64 kLocalSize = 30;
constexpr qint64 kCentralSize = 46;
constexpr qint64 kEndSize = 22;

// A little-endian field of size bytes; the caller has checked the bounds.
inline quint64 field(const QByteArray &bytes, qint64 at, int size)
{
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | uchar(bytes.at(qsizetype(at + i)));
    return value;
}

} // namespace Xlsx::ZipFormat
