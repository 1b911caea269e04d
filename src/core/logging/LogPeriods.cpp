#include "LogPeriods.h"

#include <array>

namespace logging {

namespace {

constexpr std::array<LogPeriod, 9> kAll{{{"Single Log", 0},
                                         {"1 Second", 1},
                                         {"2 Seconds", 2},
                                         {"5 Seconds", 5},
                                         {"10 Seconds", 10},
                                         {"30 Seconds", 30},
                                         {"1 Minute", 60},
                                         {"5 Minutes", 300},
                                         {"15 Minutes", 900}}};

constexpr std::array<LogPeriod, 8> kInitialLevel{{{"Single Log", 0},
                                                  {"1 Second", 1},
                                                  {"2 Seconds", 2},
                                                  {"5 Seconds", 5},
                                                  {"10 Seconds", 10},
                                                  {"1 Minute", 60},
                                                  {"15 Minutes", 900},
                                                  {"1 Hour", 3600}}};

} // namespace

std::span<const LogPeriod> allLogPeriods() {
    return kAll;
}
std::span<const LogPeriod> initialLevelLogPeriods() {
    return kInitialLevel;
}

} // namespace logging
