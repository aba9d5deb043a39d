#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

using SheetRows = QList<QStringList>;

// A class list workbook whose cells the project's own engine writes (as
// shared strings), one worksheet per entry; the path, or a fatal error.
QString writeClassListWorkbook(const QString &path, const QList<QPair<QByteArray, SheetRows>> &sheets);
