#include "core/update/updateendpoint.h"

#include "core/update/releaseinfo.h"

#include <QtGlobal>

namespace UpdateEndpoint {
namespace {

constexpr int kReplyTimeoutMs = 8000;
constexpr int kStartupDelayMs = 3000;

struct Overrides
{
    QUrl url;
    int replyTimeoutMs = 0;
    int startupDelayMs = 0;
};

Overrides &overrides()
{
    static Overrides values;
    return values;
}

} // namespace

QUrl latestReleaseApiUrl()
{
    if (!overrides().url.isEmpty())
        return overrides().url;
    const QString fromEnvironment = qEnvironmentVariable(kUrlVariable);
    if (!fromEnvironment.isEmpty())
        return QUrl(fromEnvironment);
    return QUrl(ReleaseInfo::kLatestReleaseApiUrl);
}

void setLatestReleaseApiUrlForTesting(const QUrl &url)
{
    overrides().url = url;
}

int replyTimeoutMs()
{
    return overrides().replyTimeoutMs > 0 ? overrides().replyTimeoutMs : kReplyTimeoutMs;
}

int startupDelayMs()
{
    return overrides().startupDelayMs > 0 ? overrides().startupDelayMs : kStartupDelayMs;
}

void setTimeLimitsForTesting(int replyTimeoutMs, int startupDelayMs)
{
    overrides().replyTimeoutMs = replyTimeoutMs;
    overrides().startupDelayMs = startupDelayMs;
}

} // namespace UpdateEndpoint
