#include "LevelScanSeries.h"

#include "LogPeriodList.h"
#include "Scanner.h"
#include "SensorLists.h"
#include "levelprobe/LevelFamily.h"
#include "link/Link.h"

#include <array>

namespace discovery {

namespace {

using Commands = levelprobe::LevelCommands;

// In the order a scan asks; the first is the presence query.
constexpr std::array<void (Commands::*)(int), 15> kSeries{&Commands::PressUnitsQueryBut_Click,
                                                          &Commands::TempUnitsQueryBut_Click,
                                                          &Commands::DensityCorrQueryBut_Click,
                                                          &Commands::LocalGravityQueryBut_Click,
                                                          &Commands::IDQueryBut_Click,
                                                          &Commands::ReverseQueryBut_Click,
                                                          &Commands::LevelQueryBut_Click,
                                                          &Commands::RangeQueryBut_Click,
                                                          &Commands::SGQuery,
                                                          &Commands::ZeroCalibrationQuery,
                                                          &Commands::SlopeCalibrationQuery,
                                                          &Commands::MaxOverRangeQueryBut_Click,
                                                          &Commands::ApplyQueryBut_Click,
                                                          &Commands::SerialNumberQuery,
                                                          &Commands::FilterQuery};

} // namespace

LevelScanSeries::LevelScanSeries(levelprobe::LevelFamily& family, SensorLists& lists)
    : family_(family), lists_(lists) {}

int LevelScanSeries::length() const {
    return static_cast<int>(kSeries.size());
}

bool LevelScanSeries::send(int page, int step) {
    (family_.commands().*kSeries.at(static_cast<size_t>(step)))(page);
    return true;
}

void LevelScanSeries::addressFound(int) {
    // The local-offset answer sets the page's box without sending it back.
    family_.LocalOffsetEchoGuard = true;
}

void LevelScanSeries::addressDone(int) {
    family_.LocalOffsetEchoGuard = false;
}

void LevelScanSeries::seriesComplete(int page) {
    FillLogPeriods(family_.page(page));
}

void LevelScanSeries::measure(int page) {
    if (family_.hooks().LevelMeasure)
        family_.hooks().LevelMeasure(page);
}

QTreeWidget* LevelScanSeries::list() const {
    return lists_.ListView;
}

void LevelScanSeries::clearRow(int page) {
    lists_.ClearLevelRow(page);
}

void LevelScanSeries::RequeryLevelPage(Scanner& scanner, int page) {
    Commands& c = family_.commands();
    sdilink::Link& link = c.link();
    const auto ask = [&](void (Commands::*query)(int)) {
        return scanner.transact([&] {
            (c.*query)(page);
            return true;
        });
    };
    link.BeepOnReply = false;
    if (!ask(&Commands::DensityCorrQueryBut_Click)) {
        lists_.ClearLevelRow(page);
        link.FlushInput();
    } else if (ask(&Commands::LocalGravityQueryBut_Click) && ask(&Commands::LevelQueryBut_Click) &&
               ask(&Commands::RangeQueryBut_Click) && ask(&Commands::MaxOverRangeQueryBut_Click)) {
        scanner.measureAndShowStatus(page);
    }
    link.BeepOnReply = true;
    link.beep();
}

} // namespace discovery
