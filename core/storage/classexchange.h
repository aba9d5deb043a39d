#pragma once

#include "core/storage/classfile.h"
#include "core/model/classmodel.h"

#include <QString>

// Class files that move a class between computers or from one class to the
// next: config.ini's format without the update-check date. They are read
// with readClassFile (core/storage/classfile.h), by config.ini's own rules.

inline const QString kClassFileFilter = QStringLiteral("班级文件 (*.ini)");

// Roster, leaders, boarders, style, group records, pins and requirements,
// written atomically; an empty text on success, else why it failed.
QString writeClassFile(const QString &path, const ClassModel &model, const QString &style, const QString &customPath);

struct ImportedClass
{
    ClassFile file; // its problem names the file and says why it cannot be used
    QString customPath;
};

// A class file read as config.ini is read (GB18030 and UTF-16 decoded, bad
// values defaulted and clamped), from a copy so that the file itself stays as
// it is. A file without any of the class's sections is refused, so that an
// unrelated INI file is not taken for an empty class.
ImportedClass readClassForImport(const QString &path);
