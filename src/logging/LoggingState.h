#pragma once

#include <QtGlobal>
#include <array>

namespace logging {

// Which sensors are logging. Read by the page lock rules and the scan.
struct LoggingState {
    std::array<qint16, 10> LogTick{}; // timer ticks since the sensor's last logging request
    std::array<bool, 10> LogActive{}; // periodic logging runs for that sensor
    qint16 LoggingSensor = 0;         // page index + 1 of the sensor started last, 0 if none
};

} // namespace logging
