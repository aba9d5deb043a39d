#pragma once

#include "model/classmodel.h"

#include <QString>

// Class files that move a class between computers or from one class to the
// next: config.ini's format without the update-check date. They are read
// with readClassFile (config/classfile.h), by config.ini's own rules.

inline const QString kClassFileFilter = QStringLiteral("班级文件 (*.ini)");

// Roster, leaders, boarders, style, group records, pins and requirements,
// written atomically; an empty text on success, else why it failed.
QString writeClassFile(const QString &path, const ClassModel &model, const QString &style, const QString &customPath);

// Whether a readable INI file holds any of the class's sections, so that an
// unrelated INI file is not taken for an empty class.
bool holdsClassData(const QString &path);
