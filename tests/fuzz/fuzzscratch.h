#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

// A directory for the files one fuzzing process writes, removed at exit.
inline const QTemporaryDir &fuzzScratch()
{
    static const QTemporaryDir directory;
    return directory;
}

// Writes an input to a file of the scratch directory and returns its path.
inline QString writeInput(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = fuzzScratch().filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}
