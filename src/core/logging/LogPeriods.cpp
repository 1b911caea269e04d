#include "LogPeriods.h"

#include "core/protocol/Numbers.h"

#include <algorithm>
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

std::vector<LogPeriod> levelLogPeriods(const QString& sampleRate, int running) {
    // Single precision, as the sensor's rate was always compared; clamped so that no text can
    // overflow it.
    const double rate = std::clamp(protocol::leadingNumber(sampleRate), -1e30, 1e30);
    const float T = static_cast<float>(rate) + 1.0f;
    std::vector<LogPeriod> offered;
    for (const LogPeriod& period : kAll)
        if (period.seconds == 0 || T < static_cast<float>(period.seconds) ||
            (running > 0 && period.seconds == running))
            offered.push_back(period);
    return offered;
}

} // namespace logging
