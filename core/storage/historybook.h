#pragma once

#include "core/storage/arrangementhistory.h"

#include <QString>

#include <functional>

// The history of one class as a command uses it: read once (a damaged file
// set aside and reported), changed, and written back, each problem reported
// in one line. The window and the command line share it.
class HistoryBook
{
public:
    using Report = std::function<void(const QString &line)>;

    // Reads history.json beside the class's config.ini.
    HistoryBook(const QString &configPath, Report report);

    const QList<ArrangementRecord> &records() const { return m_records; }
    // The record with this id if it is still there, else the one in use last.
    const ArrangementRecord *lastTime(int preferredRecord) const;
    const ArrangementRecord *find(int id) const { return ArrangementHistory::find(m_records, id); }

    // Records a new arrangement as the one in use; its id, 0 when the history
    // cannot be written.
    int add(const ArrangementRecord &record);
    // A restore: the record becomes the one in use, restored now.
    void markRestored(int id, const QDateTime &time);
    // A verified export of the record's arrangement.
    void markExported(int id, const QString &path, const QDateTime &time);

private:
    void save();

    QString m_path;
    Report m_report;
    QList<ArrangementRecord> m_records;
    bool m_writable = true;
};
