#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text files as spreadsheet programs save them: UTF-8 with or without a
// byte-order mark, UTF-16 with one, and GB18030 from Chinese Windows programs.
struct DecodedText
{
    QString text;
    QString encoding; // "UTF-8", "UTF-16LE", "UTF-16BE" or "GB18030"; empty when undecodable

    bool ok() const { return !encoding.isEmpty(); }
};

bool isValidUtf8(QByteArrayView bytes);

// A byte-order mark decides; without one, bytes that are valid UTF-8 are
// UTF-8 and anything else is read as GB18030 (which covers GBK and GB2312).
DecodedText decodeText(const QByteArray &bytes);
