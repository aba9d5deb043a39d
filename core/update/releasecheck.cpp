#include "core/update/releasecheck.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVersionNumber>

std::optional<LatestRelease> parseLatestRelease(const QByteArray &body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (document.isNull())
        return std::nullopt;
    const QJsonObject object = document.object();
    LatestRelease release;
    release.tag = object.value(QLatin1String("tag_name")).toString();
    release.pageUrl = object.value(QLatin1String("html_url")).toString();
    release.notes = object.value(QLatin1String("body")).toString();
    if (release.tag.isEmpty())
        return std::nullopt;
    return release;
}

QString normalizedReleaseTag(const QString &tag)
{
    return tag.startsWith(u'v') ? tag.mid(1) : tag;
}

bool isNewerRelease(const QString &tag, const QString &current)
{
    const QVersionNumber release = QVersionNumber::fromString(normalizedReleaseTag(tag));
    return QVersionNumber::compare(release, QVersionNumber::fromString(current)) > 0;
}
