#pragma once

#include <QString>

// Where this program's releases are published and which one this build is.
namespace ReleaseInfo {

// From the build (the project's version), so every reader agrees.
inline const QString kCurrentVersion = QStringLiteral(QUORVANE_VERSION);
inline const QString kReleasesPageUrl = QStringLiteral("https://github.com/quorvane-classroom/quorvane-desk/releases");
inline const QString kLatestReleaseApiUrl =
    QStringLiteral("https://api.github.com/repos/quorvane-classroom/quorvane-desk/releases/latest");
inline const QString kUserAgent = QStringLiteral("Quorvane/1.0");

} // namespace ReleaseInfo
