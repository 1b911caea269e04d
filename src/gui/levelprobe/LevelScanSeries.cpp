#include "LevelScanSeries.h"

#include "LevelFamily.h"
#include "LogPeriodList.h"
#include "core/levelprobe/LevelSensors.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"
#include "gui/widgets/Controls.h"

#include <QTreeWidget>
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
    LevelSensors& sensors = family_.sensors();
    const Code code = kSeries.at(static_cast<size_t>(step));
    co_return co_await sensors.link().transact([&] { sensors.query(page, code); });
}

void LevelScanSeries::addressFound(int) {
    // The local-offset answer sets the page's box without sending it back.
    family_.sensors().LocalOffsetEchoGuard = true;
}

void LevelScanSeries::addressDone(int) {
    family_.sensors().LocalOffsetEchoGuard = false;
}

QCoro::Task<> LevelScanSeries::seriesComplete(int page) {
    // A log running at this page keeps its period.
    FillLogPeriods(family_.page(page),
                   family_.logger().state().LogActive.at(static_cast<size_t>(page)));
    co_await family_.logger().takeFirstReading(page);
}

void LevelScanSeries::clearRow(int page) {
    family_.sensors().forget(page);
}

void LevelScanSeries::selectRow(int page) {
    QTreeWidget* list = family_.ListView();
    list->setCurrentItem(list->topLevelItem(page));
}

} // namespace levelprobe
