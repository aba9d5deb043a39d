#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Runs one of the Python helpers beside the tests with Debian's python3 and
// openpyxl; an empty result (and a warning) when it fails.
QByteArray runPython(const QString &script, const QStringList &arguments);
// Every sheet of a workbook as openpyxl reads it.
QJsonObject readBack(const QString &workbookPath);
QByteArray fileDigest(const QString &path);
