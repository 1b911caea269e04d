#include "LevelScanSeries.h"

#include "LevelFamily.h"
#include "LogPeriodList.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"
#include "gui/widgets/Controls.h"

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

QCoro::Task<bool> LevelScanSeries::ask(void (LevelCommands::*query)(int), int page) {
    co_return co_await family_.link().transact([&] { (family_.commands().*query)(page); });
}

QCoro::Task<bool> LevelScanSeries::query(int page, int step) {
    return ask(kSeries.at(static_cast<size_t>(step)), page);
}

void LevelScanSeries::addressFound(int) {
    // The local-offset answer sets the page's box without sending it back.
    family_.LocalOffsetEchoGuard = true;
}

void LevelScanSeries::addressDone(int) {
    family_.LocalOffsetEchoGuard = false;
}

QCoro::Task<> LevelScanSeries::seriesComplete(int page) {
    // A log running at this page keeps its period.
    FillLogPeriods(family_.page(page),
                   family_.logger().state().LogActive.at(static_cast<size_t>(page)));
    co_await family_.logger().takeFirstReading(page);
}

void LevelScanSeries::clearRow(int page) {
    family_.forget(page);
}

void LevelScanSeries::selectRow(int page) {
    QTreeWidget* list = family_.ListView();
    list->setCurrentItem(list->topLevelItem(page));
}

QCoro::Task<> LevelScanSeries::RequeryLevelPage(int page) {
    sdilink::Link& link = family_.link();
    const sdilink::Link::Sequence sequence(link, true);
    if (!co_await ask(&Commands::DensityCorrQueryBut_Click, page)) {
        if (link.replyStatus() == sdilink::Link::Abandoned)
            co_return;
        // The page keeps what the sensor said last; its row no longer vouches for it.
        widgets::clearRowTexts(family_.ListView(), page);
        link.FlushInput();
    } else {
        bool answered = true;
        for (const auto query :
             {&Commands::LocalGravityQueryBut_Click, &Commands::LevelQueryBut_Click,
              &Commands::RangeQueryBut_Click, &Commands::MaxOverRangeQueryBut_Click}) {
            answered = co_await ask(query, page);
            if (!answered)
                break;
        }
        if (answered)
            co_await family_.logger().takeFirstReading(page);
    }
    if (link.replyStatus() != sdilink::Link::Abandoned)
        link.beep();
}

} // namespace levelprobe
