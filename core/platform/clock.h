#pragma once

#include <QDateTime>
#include <functional>

// The one source of "now" for log stamps, file names, plan dates and the
// update schedule; tests replace it to pin the time.
QDateTime currentDateTime();
void setClockForTesting(std::function<QDateTime()> clock);

// "yyyyMMdd_hhmmss" of now: the stamp in every file name the program makes.
QString fileTimeStamp();
