#pragma once

#include <QByteArray>
#include <QList>

// Reading a zip archive held in memory: its central directory, and an entry's
// bytes, inflated or as stored. Stored and deflated entries, zip64 sizes and
// offsets; encrypted entries and archives spanning several files are not read.
namespace Xlsx {

struct ZipEntry
{
    QByteArray name;
    quint16 method = 0; // 0 stored, 8 deflated; anything else is not read
    bool encrypted = false;
    quint32 crc = 0;
    // As the central directory gives them: hints, checked when reading.
    quint64 size = 0;
    quint64 compressedSize = 0;
    quint64 localHeader = 0; // where the entry's own header starts
};

enum class ZipDirectory { Read, NotZip, TooManyEntries, Unreadable };

// Reads the central directory of bytes into entries; an archive of more than
// maxEntries entries is refused before any of them is read.
ZipDirectory readZipDirectory(const QByteArray &bytes, qint64 maxEntries, QList<ZipEntry> &entries);

enum class ZipRead { Complete, Unreadable, TooLarge, BadChecksum };

// The entry's bytes as the archive holds them (still compressed).
ZipRead readZipStored(const QByteArray &bytes, const ZipEntry &entry, QByteArray &data);
// The entry's bytes, inflated, never more than limit of them; the checksum
// and the size are checked.
ZipRead readZipEntry(const QByteArray &bytes, const ZipEntry &entry, qint64 limit, QByteArray &data);

} // namespace Xlsx
