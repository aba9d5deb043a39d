#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

using ZipEntries = QList<QPair<QString, QByteArray>>;

// Hand-made packages for the workbook engine's tests.
bool writeZip(const QString &path, const ZipEntries &entries);
// Every entry, uncompressed, in archive order; empty when unreadable.
ZipEntries readZip(const QString &path);
QByteArray zipEntry(const ZipEntries &entries, const QString &name);

struct FixtureSheet
{
    QByteArray name;
    QByteArray body;          // children of <worksheet>, sheetData included
    QByteArray relationship = "worksheet";
};

// A small but complete workbook: content types, relationships, the sheets in
// the given order, and optional shared strings, styles and calc chain.
ZipEntries workbookParts(const QList<FixtureSheet> &sheets, const QByteArray &sharedStrings = {},
                         const QByteArray &styles = {}, bool calcChain = false);
