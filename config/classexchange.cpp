#include "config/classexchange.h"

#include "config/configstore.h"

#include <QFile>
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
    if (!ConfigStore::writeRosterAndStyle(draft, model, style, customPath)
        || !ConfigStore::writeGroupRecords(draft, model))
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
