#include "LevelScanSeries.h"

#include "LevelFamily.h"
#include "LogPeriodList.h"
#include "link/Link.h"
#include "logging/Logger.h"
#include "widgets/Controls.h"

#include <QTreeWidget>
#include <array>

namespace levelprobe {

namespace {

using Commands = LevelCommands;

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

int LevelScanSeries::length() const {
    return static_cast<int>(kSeries.size());
}

bool LevelScanSeries::ask(void (LevelCommands::*query)(int), int page) {
    return family_.link().transact([&] { (family_.commands().*query)(page); });
}

bool LevelScanSeries::query(int page, int step) {
    return ask(kSeries.at(static_cast<size_t>(step)), page);
}

void LevelScanSeries::addressFound(int) {
    // The local-offset answer sets the page's box without sending it back.
    family_.LocalOffsetEchoGuard = true;
}

void LevelScanSeries::addressDone(int) {
    family_.LocalOffsetEchoGuard = false;
}

void LevelScanSeries::seriesComplete(int page) {
    // A log running at this page keeps its period.
    FillLogPeriods(family_.page(page),
                   family_.logger().state().LogActive.at(static_cast<size_t>(page)));
    family_.logger().takeFirstReading(page);
}

void LevelScanSeries::clearRow(int page) {
    family_.forget(page);
}

void LevelScanSeries::selectRow(int page) {
    QTreeWidget* list = family_.ListView();
    list->setCurrentItem(list->topLevelItem(page));
}

void LevelScanSeries::RequeryLevelPage(int page) {
    sdilink::Link& link = family_.link();
    const sdilink::Link::Sequence sequence(link, true);
    if (!ask(&Commands::DensityCorrQueryBut_Click, page)) {
        // The page keeps what the sensor said last; its row no longer vouches for it.
        widgets::clearRowTexts(family_.ListView(), page);
        link.FlushInput();
    } else if (ask(&Commands::LocalGravityQueryBut_Click, page) &&
               ask(&Commands::LevelQueryBut_Click, page) &&
               ask(&Commands::RangeQueryBut_Click, page) &&
               ask(&Commands::MaxOverRangeQueryBut_Click, page)) {
        family_.logger().takeFirstReading(page);
    }
    link.beep();
}

} // namespace levelprobe
