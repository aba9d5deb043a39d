#pragma once

#include "core/storage/arrangementhistory.h"

#include <QByteArrayView>

// history.json exactly as this version writes it (compact, keys in order),
// read without building JSON objects first: Qt's JSON classes spend about
// ten times as long, and every command reads the whole history. False, with
// `records` unspecified, for any other text, valid or not; the caller then
// reads it with the JSON library, which accepts other layouts and names
// faults.
// `spans`, when given, receives each record's text within `text`.
bool readCompactHistory(QByteArrayView text, QList<ArrangementRecord> &records,
                        QList<QByteArrayView> *spans = nullptr);
