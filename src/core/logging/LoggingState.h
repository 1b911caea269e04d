#pragma once

#include <QtGlobal>
#include <array>
#include <optional>

namespace logging {

// Which sensors are logging. Read by the page lock rules and the scan.
struct LoggingState {
    std::array<qint16, 10> LogTick{}; // timer ticks since the sensor's last logging request
    std::array<bool, 10> LogActive{}; // periodic logging runs for that sensor
    std::optional<int> loggingPage;   // page of the sensor started last; empty when none
};

} // namespace logging
