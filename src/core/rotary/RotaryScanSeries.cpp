#include "RotaryScanSeries.h"

#include "RotarySensors.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"

#include <array>

namespace rotary {

namespace {

// In the order a scan asks; the first is the presence query.
constexpr std::array<Code, 7> kSeries{Code::RotaryUnitsQuery,        Code::RotaryCircumferenceQuery,
                                      Code::RotaryDirectionQuery,    Code::RotaryCountsQuery,
                                      Code::RotaryCurrentValueQuery, Code::RotarySerialNumberQuery,
                                      Code::RotaryIdentification};

} // namespace

int RotaryScanSeries::length() const {
    return static_cast<int>(kSeries.size());
}

QCoro::Task<bool> RotaryScanSeries::query(int page, int step) {
    const Code code = kSeries.at(static_cast<size_t>(step));
    co_return co_await sensors_.link().transact([&] { sensors_.query(page, code); });
}

QCoro::Task<> RotaryScanSeries::seriesComplete(int page) {
    co_await sensors_.logger().takeFirstReading(page);
}

void RotaryScanSeries::clearRow(int page) {
    sensors_.forget(page);
}

} // namespace rotary
