#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What the release service says about the latest release, and whether that
// release is newer than this build. No network and no widgets here.

// Larger answers are refused unread: a release description is a few KiB.
constexpr qint64 kMaxReleaseReplyBytes = 1024 * 1024;

struct LatestRelease
{
    QString tag;     // as published, e.g. "v251009"
    QString pageUrl; // the release's web page
    QString notes;   // plain text
};

// The three members of the service's JSON object; a missing member or one that
// is not a string reads as empty. Nothing when the body is not a JSON document
// or carries no tag.
std::optional<LatestRelease> parseLatestRelease(const QByteArray &body);

// Drops one leading lower-case "v"; "V" is kept, so such a tag reads as no version.
QString normalizedReleaseTag(const QString &tag);

// True when the tag, normalised, reads as a greater version than current.
// Only the leading run of dot-separated numbers counts ("251010.0900-beta" is
// 251010.900); a tag without a leading number is never newer.
bool isNewerRelease(const QString &tag, const QString &current);
