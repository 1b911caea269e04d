#pragma once

#include <QString>
#include <span>
#include <vector>

namespace logging {

struct LogPeriod {
    const char* text;
    int seconds; // 0: one reading only
};

// Every period a sensor may be logged at, in list order.
std::span<const LogPeriod> allLogPeriods();
// The level-probe list as it stands before a sensor has been found.
std::span<const LogPeriod> initialLevelLogPeriods();

// The periods a level probe with the sample rate (its text, as the filter answer makes it:
// "2 Seconds") may be logged at: one reading, and every period longer than the rate plus one
// second; a log running at `running` seconds keeps that period even when the rate no longer
// offers it.
std::vector<LogPeriod> levelLogPeriods(const QString& sampleRate, int running = 0);

inline const QString kLogPeriodToolTip = QStringLiteral("Select Logging Period.");

} // namespace logging
