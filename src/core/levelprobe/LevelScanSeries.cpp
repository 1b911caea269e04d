#include "LevelScanSeries.h"

#include "LevelSensors.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"

#include <array>

namespace levelprobe {

namespace {

// In the order a scan asks; the first is the presence query.
constexpr std::array<Code, 15> kSeries{
    Code::PressUnitsQuery,     Code::TempUnitsQuery,    Code::DensityCorrQuery,
    Code::LocalGravityQuery,   Code::Identification,    Code::ReverseQuery,
    Code::LevelQuery,          Code::RangeQuery,        Code::SpecificGravityQuery,
    Code::ZeroCorrectionQuery, Code::SlopeQuery,        Code::MaxOverRangeQuery,
    Code::LocalOffsetQuery,    Code::SerialNumberQuery, Code::FilterQuery};

} // namespace

int LevelScanSeries::length() const {
    return static_cast<int>(kSeries.size());
}

QCoro::Task<bool> LevelScanSeries::query(int page, int step) {
    const Code code = kSeries.at(static_cast<size_t>(step));
    co_return co_await sensors_.link().transact([&] { sensors_.query(page, code); });
}

void LevelScanSeries::addressFound(int) {
    // The local-offset answer sets the flag without sending it back.
    sensors_.LocalOffsetEchoGuard = true;
}

void LevelScanSeries::addressDone(int) {
    sensors_.LocalOffsetEchoGuard = false;
}

QCoro::Task<> LevelScanSeries::seriesComplete(int page) {
    // The logging periods follow the sample rate read (a log running keeps its period).
    Q_EMIT sensors_.sampleRateChanged(page);
    co_await sensors_.logger().takeFirstReading(page);
}

void LevelScanSeries::clearRow(int page) {
    sensors_.forget(page);
}

} // namespace levelprobe
