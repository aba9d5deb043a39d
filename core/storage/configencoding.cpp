#include "core/storage/configencoding.h"

#include "core/platform/clock.h"
#include "core/storage/textdecoding.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace ConfigEncoding {
namespace {

bool writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// A name not taken yet, so that no earlier backup is ever overwritten.
QString freeBackupPath(const QString &path, const QString &encoding)
{
    const QString stem = QStringLiteral("%1.%2-%3").arg(path, encoding, fileTimeStamp());
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
    if (isValidUtf8(original))
        return {};

    Result result;
    const DecodedText decoded = decodeText(original);
    result.encoding = decoded.encoding;
    const QString backupPath =
        freeBackupPath(path, decoded.ok() ? decoded.encoding.toLower() : QStringLiteral("undecodable"));
    if (!writeAtomically(backupPath, original)) {
        result.outcome = Outcome::Failed;
        return result;
    }
    result.backupPath = backupPath;
    if (!decoded.ok())
        result.outcome = Outcome::Undecodable;
    else
        result.outcome = writeAtomically(path, decoded.text.toUtf8()) ? Outcome::Converted : Outcome::Failed;
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
        return QStringLiteral("配置文件 %1 是 %2 编码，已转换为 UTF-8，原文件备份为 %3").arg(file, result.encoding, backup);
    case Outcome::Undecodable:
        return QStringLiteral("警告: 配置文件 %1 不是 UTF-8，也无法识别其编码，姓名可能无法正确读取，原文件备份为 %2")
            .arg(file, backup);
    case Outcome::Failed:
        return QStringLiteral("警告: 配置文件 %1 不是 UTF-8 编码，无法写入备份或转换后的文件，姓名可能无法正确读取")
            .arg(file);
    }
    return QString();
}

} // namespace ConfigEncoding
