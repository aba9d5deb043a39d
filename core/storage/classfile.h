#pragma once

#include "core/model/classmodel.h"

#include <QString>

// A class read from a configuration file by a reader that must not go on with
// a file it cannot read (the command line): the same values the window loads,
// or the problem in words naming the file.
struct ClassFile
{
    ClassModel model;
    QString style;
    QString problem; // empty when the file was read
};

ClassFile readClassFile(const QString &path);
