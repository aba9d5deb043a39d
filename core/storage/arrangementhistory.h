#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The history of arrangements in history.json beside config.ini: every
// completed generation, kept by name so that a record outlives roster edits.

// One student as the arrangement showed them.
struct RecordedMember
{
    QString name;
    bool boy = false;
    bool leader = false;
    bool boarder = false;

    friend bool operator==(const RecordedMember &a, const RecordedMember &b)
    {
        return a.name == b.name && a.boy == b.boy && a.leader == b.leader && a.boarder == b.boarder;
    }
};

struct RecordedGroup
{
    int number = 0; // the group number (configuration index + 1)
    QList<RecordedMember> members; // in seat order

    friend bool operator==(const RecordedGroup &a, const RecordedGroup &b)
    {
        return a.number == b.number && a.members == b.members;
    }
};

struct ArrangementRecord
{
    int id = 0;        // unique in the file, ascending with age
    QDateTime time;    // when it was generated, local time
    quint32 seed = 0;  // the seed of the run that produced it
    QList<RecordedGroup> groups; // the enabled groups, in group-position order
    int unmetRequirements = 0;
    QDateTime restored;   // the last "恢复"; invalid when never
    QString exportedPath; // the last verified export; empty when never
    QDateTime exportedTime;
    // The arrangement whose groupmates the run kept apart; 0 when it did not.
    int avoidedRecord = 0;
    // What the constraint solver did for this arrangement: empty when it did
    // not run, else "solved", "settings-conflict", "infeasible" or "undecided".
    QString solverOutcome;
    int solverMoved = 0; // students the solver moved

    // Rises with every generation and restore: the highest is the arrangement
    // in use last (times may repeat within a second).
    int useOrder = 0;

    friend bool operator==(const ArrangementRecord &a, const ArrangementRecord &b);
};

namespace ArrangementHistory {

constexpr int kVersion = 1;
constexpr int kMaxRecords = 100;

// history.json in the folder of config.ini; nothing else derives this path.
QString historyFilePath(const QString &configPath);

struct Loaded
{
    QList<ArrangementRecord> records; // oldest first
    // A damaged or unreadable file was moved to this path and a new history starts.
    QString setAsidePath;
    // Why the file was not read (set aside or not); empty when it was.
    QString problem;
    // False when a damaged file could not be moved away: it must not be overwritten.
    bool writable = true;
};

// A missing file is an empty history. A file that cannot be read as a
// history is renamed to "history.json.bad-<yyyyMMdd_hhmmss>".
Loaded load(const QString &path);
// Writes the records atomically, keeping the newest kMaxRecords; an empty
// text on success, else why it failed.
QString save(const QString &path, QList<ArrangementRecord> records);

QByteArray toJson(const QList<ArrangementRecord> &records);
// The records of a history text; false with the reason when any part of it
// is not what this version writes.
bool fromJson(const QByteArray &json, QList<ArrangementRecord> &records, QString &problem);
// The same through Qt's JSON classes, for any layout of the text: fromJson
// reads what toJson writes without them.
bool fromAnyJson(const QByteArray &json, QList<ArrangementRecord> &records, QString &problem);

// Adds a record under a fresh id, as the one in use last, and returns that
// id; the oldest records are dropped beyond kMaxRecords.
int append(QList<ArrangementRecord> &records, ArrangementRecord record);
// The use order that makes a record the one in use last.
int nextUseOrder(const QList<ArrangementRecord> &records);
// The record with this id, or nullptr.
ArrangementRecord *find(QList<ArrangementRecord> &records, int id);
const ArrangementRecord *find(const QList<ArrangementRecord> &records, int id);
// "Last time": the record generated or restored last; nullptr for none.
const ArrangementRecord *mostRecent(const QList<ArrangementRecord> &records);

} // namespace ArrangementHistory
