#pragma once

#include <QUrl>

// Where the update check asks and how long it waits. Tests point the address
// at a local server and shorten the waits; the program itself never does.
namespace UpdateEndpoint {

// Environment variable that replaces the release service's address.
inline constexpr char kUrlVariable[] = "QUORVANE_UPDATE_URL";

// The address set for testing, else $QUORVANE_UPDATE_URL, else the service.
QUrl latestReleaseApiUrl();
// An empty address restores the environment or the default.
void setLatestReleaseApiUrlForTesting(const QUrl &url);

// How long a check waits for its reply (8000 ms).
int replyTimeoutMs();
// How long after start-up a due silent check runs (3000 ms).
int startupDelayMs();
// Values of 0 or less restore the defaults.
void setTimeLimitsForTesting(int replyTimeoutMs, int startupDelayMs);

} // namespace UpdateEndpoint
