#pragma once

#include <QByteArray>
#include <QDateTime>

// A zip archive built in memory: directories, parts deflated here, and
// entries taken over still compressed from another archive. No zip64, no
// encryption; a workbook package needs neither.
namespace Xlsx {

class ZipWriter
{
public:
    // An entry as another archive holds it.
    struct CompressedEntry
    {
        quint16 method; // 0 stored, 8 deflated
        quint32 crc;
        quint32 size;
        QByteArray data;
    };

    // Entries deflated here get this level; all of them get this time.
    ZipWriter(int level, const QDateTime &modified);

    void addDirectory(const QByteArray &name);
    void addDeflated(const QByteArray &name, const QByteArray &data);
    void addCompressed(const QByteArray &name, const CompressedEntry &entry);
    // The archive: entries, central directory and its end record.
    QByteArray finish();

private:
    struct Header
    {
        QByteArray name;
        quint16 method;
        quint32 dosTime;
        quint32 crc;
        quint32 compressedSize;
        quint32 size;
        quint32 offset;
        bool directory;
    };

    static void putSharedFields(QByteArray &out, const Header &header);
    // Writes the local header; the entry's data follows it.
    void begin(Header header);

    int m_level;
    quint32 m_dosTime;
    QByteArray m_bytes;
    QList<Header> m_headers;
};

// Whether bytes hold a complete archive: an end record, and a central
// directory whose every entry points at a local header of the same name,
// one of them named required. What a save cut short never has.
bool isCompleteZip(const QByteArray &bytes, const QByteArray &required);

} // namespace Xlsx
