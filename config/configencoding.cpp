#include "config/configencoding.h"

#include "config/clock.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace ConfigEncoding {
namespace {

bool decodes(QStringDecoder &decoder, const QByteArray &bytes, QString *text = nullptr)
{
    if (!decoder.isValid())
        return false;
    const QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return false;
    if (text)
        *text = decoded;
    return true;
}

bool writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// A name not taken yet, so that no earlier backup is ever overwritten.
QString freeBackupPath(const QString &path)
{
    const QString stem = path + QStringLiteral(".gb18030-") + fileTimeStamp();
    QString candidate = stem + QStringLiteral(".bak");
    for (int n = 2; QFile::exists(candidate); ++n)
        candidate = stem + QStringLiteral("-%1.bak").arg(n);
    return candidate;
}

} // namespace

Result ensureUtf8(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray original = file.readAll();
    file.close();

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    if (decodes(utf8, original))
        return {};

    Result result;
    const QString backupPath = freeBackupPath(path);
    if (!writeAtomically(backupPath, original)) {
        result.outcome = Outcome::Failed;
        return result;
    }
    result.backupPath = backupPath;

    // ICU provides GB18030; without it the file counts as undecodable.
    QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
    QString text;
    if (!decodes(gb18030, original, &text)) {
        result.outcome = Outcome::Undecodable;
        return result;
    }
    result.outcome = writeAtomically(path, text.toUtf8()) ? Outcome::Converted : Outcome::Failed;
    return result;
}

QString logLine(const Result &result, const QString &path)
{
    const QString file = QDir::toNativeSeparators(path);
    const QString backup = QDir::toNativeSeparators(result.backupPath);
    switch (result.outcome) {
    case Outcome::Utf8:
        return QString();
    case Outcome::Converted:
        return QStringLiteral("配置文件 %1 是 GB18030 编码，已转换为 UTF-8，原文件备份为 %2").arg(file, backup);
    case Outcome::Undecodable:
        return QStringLiteral("警告: 配置文件 %1 既不是 UTF-8 也不是 GB18030 编码，姓名可能无法正确读取，原文件备份为 %2")
            .arg(file, backup);
    case Outcome::Failed:
        return QStringLiteral("警告: 配置文件 %1 不是 UTF-8 编码，无法写入备份或转换后的文件，姓名可能无法正确读取")
            .arg(file);
    }
    return QString();
}

} // namespace ConfigEncoding
