#pragma once

#include <QString>

// Qt reads INI files as UTF-8 only. A config.ini saved in GBK/GB18030 (or
// UTF-16) would load every name as U+FFFD, and the next write would make that
// permanent, so such a file is made UTF-8, keeping the original, before
// anything reads it.
namespace ConfigEncoding {

enum class Outcome {
    Utf8,        // valid UTF-8, or no file: nothing done
    Converted,   // now UTF-8; the original kept as the backup
    Undecodable, // no known encoding; the original kept as the backup, the file as it was
    Failed,      // not UTF-8, and the backup or the converted file could not be written
};

struct Result
{
    Outcome outcome = Outcome::Utf8;
    QString encoding;   // what the file was in, when recognised ("GB18030", "UTF-16LE", ...)
    QString backupPath; // empty when no backup was written
};

// Backups are named "<file>.<encoding>-<yyyyMMdd_hhmmss>.bak" beside the file
// ("config.ini.gb18030-20251008_093000.bak"), "undecodable" standing for the
// encoding when none was recognised.
Result ensureUtf8(const QString &path);

// The event-log line for a result; empty when there is nothing to say.
QString logLine(const Result &result, const QString &path);

} // namespace ConfigEncoding
