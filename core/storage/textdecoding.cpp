#include "core/storage/textdecoding.h"

#include <QStringDecoder>

namespace {

// The decoders drop the byte-order mark they recognise.
DecodedText decodeAs(const QByteArray &bytes, QStringDecoder decoder, const char *name)
{
    if (!decoder.isValid())
        return {};
    DecodedText decoded;
    decoded.text = decoder.decode(bytes);
    if (decoder.hasError())
        return {};
    decoded.encoding = QString::fromLatin1(name);
    return decoded;
}

} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

DecodedText decodeText(const QByteArray &bytes)
{
    using Converter = QStringConverter;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeAs(bytes, QStringDecoder(Converter::Utf8), "UTF-8");
    if (bytes.startsWith("\xFF\xFE"))
        return decodeAs(bytes, QStringDecoder(Converter::Utf16LE), "UTF-16LE");
    if (bytes.startsWith("\xFE\xFF"))
        return decodeAs(bytes, QStringDecoder(Converter::Utf16BE), "UTF-16BE");
    if (isValidUtf8(bytes))
        return decodeAs(bytes, QStringDecoder(Converter::Utf8), "UTF-8");
    return decodeAs(bytes, QStringDecoder("GB18030"), "GB18030");
}
