#pragma once

#include <QString>
#include <span>

namespace logging {

struct LogPeriod {
    const char* text;
    int seconds; // 0: one reading only
};

// Every period a sensor may be logged at, in list order.
std::span<const LogPeriod> allLogPeriods();
// The level-probe list as it stands before a sensor has been found.
std::span<const LogPeriod> initialLevelLogPeriods();

inline const QString kLogPeriodToolTip = QStringLiteral("Select Logging Period.");

} // namespace logging
