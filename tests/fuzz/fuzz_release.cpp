// The release service's answer -> parse -> compare with this build's version.
#include "core/update/releasecheck.h"
#include "core/update/releaseinfo.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<LatestRelease> release = parseLatestRelease(body);
    if (!release)
        return 0;
    normalizedReleaseTag(release->tag);
    isNewerRelease(release->tag, ReleaseInfo::kCurrentVersion);
    // Both ways round, and with any text (the notes) as the other version.
    isNewerRelease(ReleaseInfo::kCurrentVersion, release->tag);
    isNewerRelease(release->tag, release->notes);
    return 0;
}
