#include "core/platform/clock.h"

namespace {
std::function<QDateTime()> &clockFunction()
{
    static std::function<QDateTime()> clock;
    return clock;
}
} // namespace

QDateTime currentDateTime()
{
    const auto &clock = clockFunction();
    return clock ? clock() : QDateTime::currentDateTime();
}

QString fileTimeStamp()
{
    return currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss"));
}

void setClockForTesting(std::function<QDateTime()> clock)
{
    clockFunction() = std::move(clock);
}
