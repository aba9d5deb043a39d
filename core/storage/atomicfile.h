#pragma once

#include <QByteArrayView>
#include <QString>

// The one way this program writes a file (config.ini, history.json, class
// files, PDFs, workbooks). The whole content goes into a temporary file in
// the target's folder; every write, the flush to the disk and the close are
// checked, and the file is read back and compared before a rename puts it in
// the target's place. On any failure the target is as it was, the temporary
// file is gone, and the cause is returned in words ("磁盘空间不足"). The
// folder must exist: a path the user chose is not made up as it goes.
namespace AtomicFile {

// Empty on success, else the cause of the failure (not naming the file).
QString write(const QString &path, QByteArrayView content);

// For tests: faults that a write meets, in this process. The environment
// variable sets the free space for a whole process (a command run by a test),
// as a number of bytes.
inline constexpr char kFreeSpaceVariable[] = "QUORVANE_TEST_FREE_SPACE";
struct TestFault
{
    // Each write's temporary file takes at most this many bytes; a write
    // beyond it fails as on a full disk. Negative: no limit.
    qint64 freeSpace = -1;
    bool failSync = false;   // the flush to the disk fails
    bool failRename = false; // the temporary file cannot replace the target
};
void setTestFault(const TestFault &fault);

} // namespace AtomicFile
