#pragma once

#include "core/workbook/xlsx/zipreader.h"
#include "core/workbook/xlsx/zipwriter.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>

class QFileDevice;

namespace Xlsx {

// A workbook's zip package, read whole into memory so that the file on disk
// is never touched again. Parts can be read, replaced, added and removed;
// saving copies every untouched entry as it was. Failures raise
// Automation::Error with a message for the user.
class Package
{
public:
    // Largest template file and largest part accepted; a seating plan is a
    // few kilobytes, anything near these is not a template.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;
    static constexpr qint64 kMaxPartSize = 64 * 1024 * 1024;
    static constexpr int kMaxEntries = 10000;

    explicit Package(const QString &path);
    ~Package();
    Package(const Package &) = delete;
    Package &operator=(const Package &) = delete;

    bool contains(const QString &name) const;
    QByteArray read(const QString &name) const;
    void write(const QString &name, const QByteArray &data);
    void remove(const QString &name);

    // Writes the package to a temporary file beside the target and renames
    // it into place only when every byte was written; a failed save leaves
    // no file behind and an earlier file of that name as it was.
    void saveAs(const QString &path) const;

    // Whether the file at path is a complete zip archive, its directory
    // consistent with every entry's own header, with a content-type list.
    static bool isIntact(const QString &path);

private:
    struct Entry
    {
        QString name;
        bool inTemplate = false; // else added
        ZipEntry stored;         // as the template's archive records it
        bool copyable = false;   // stored or deflated, not encrypted
        bool replaced = false;
        bool removed = false;
        QByteArray data;
    };

    QByteArray buildArchive() const;
    // An untouched entry's bytes as the template holds them.
    QByteArray readCompressed(const Entry &entry) const;
    const Entry *find(const QString &name) const;

    QString m_path;
    QByteArray m_bytes; // the template's archive
    QList<Entry> m_entries;
    QMap<QString, int> m_byName;
};

// Tests stand a failing device in for the file system: the function writes
// what it will of the bytes to the file and returns how many it took, 0 or
// -1 for none. An empty function restores plain writing.
using DeviceWrite = std::function<qint64(QFileDevice &file, const char *data, qint64 size)>;
void setDeviceWriteForTesting(DeviceWrite write);
// The deflate level of rewritten parts (1 to 9; anything else restores the
// program's own), for the benchmark.
void setCompressionLevelForTesting(int level);

} // namespace Xlsx
