#include "core/storage/classexchange.h"

#include "core/storage/configencoding.h"
#include "core/storage/configstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>

QString writeClassFile(const QString &path, const ClassModel &model, const QString &style, const QString &customPath)
{
    // The settings library merges into an existing file; a draft of its own
    // gives exactly the class, which then replaces the target in one step.
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return scratch.errorString();
    const QString draft = scratch.filePath(QStringLiteral("class.ini"));
    if (!ConfigStore::writeSettings(draft, model, style, customPath))
        return QStringLiteral("无法生成班级文件");
    QFile drafted(draft);
    if (!drafted.open(QIODevice::ReadOnly))
        return drafted.errorString();
    const QByteArray text = drafted.readAll();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(text) != text.size() || !file.commit())
        return file.errorString();
    return QString();
}

namespace {

bool holdsClassData(const QString &path)
{
    const QSettings settings(path, QSettings::IniFormat);
    const QStringList sections{QStringLiteral("Male"),    QStringLiteral("Female"),         QStringLiteral("Leaders"),
                               QStringLiteral("Boarders"), QStringLiteral("Style"),          QStringLiteral("FixedPositions"),
                               QStringLiteral("Constraints")};
    for (const QString &group : settings.childGroups()) {
        if (sections.contains(group) || group.startsWith(QStringLiteral("GroupConfig_")))
            return true;
    }
    return false;
}

} // namespace

ImportedClass readClassForImport(const QString &path)
{
    ImportedClass imported;
    const QString shown = QDir::toNativeSeparators(path);
    const QTemporaryDir scratch;
    const QString copy = scratch.filePath(QFileInfo(path).fileName());
    if (!scratch.isValid() || !QFile::copy(path, copy)) {
        imported.file = readClassFile(path); // says what is wrong with it
        if (imported.file.problem.isEmpty())
            imported.file.problem = QStringLiteral("无法读取文件“%1”").arg(shown);
        return imported;
    }
    const ConfigEncoding::Outcome encoding = ConfigEncoding::ensureUtf8(copy).outcome;
    if (encoding == ConfigEncoding::Outcome::Undecodable || encoding == ConfigEncoding::Outcome::Failed) {
        imported.file.problem = QStringLiteral("文件“%1”的编码无法识别").arg(shown);
        return imported;
    }
    imported.file = readClassFile(copy);
    imported.file.problem.replace(QDir::toNativeSeparators(copy), shown);
    if (imported.file.problem.isEmpty() && !holdsClassData(copy))
        imported.file.problem = QStringLiteral("文件“%1”中没有班级数据").arg(shown);
    if (imported.file.problem.isEmpty())
        imported.customPath = ConfigStore::readCustomTemplatePath(copy);
    return imported;
}
