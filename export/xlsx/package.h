#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

struct zip;
struct zip_source;

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
    // it into place; a failed save leaves no file behind.
    void saveAs(const QString &path) const;

private:
    struct Entry
    {
        QString name;
        qint64 index = -1; // in the source archive; -1 for added entries
        bool replaced = false;
        bool removed = false;
        QByteArray data;
    };

    QByteArray buildArchive() const;
    const Entry *find(const QString &name) const;

    QString m_path;
    QByteArray m_bytes;
    zip_source *m_source = nullptr;
    zip *m_archive = nullptr;
    QList<Entry> m_entries;
    QMap<QString, int> m_byName;
};

} // namespace Xlsx
