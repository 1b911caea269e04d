#include "RotaryScanSeries.h"

#include "RotaryFamily.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"
#include "gui/widgets/Controls.h"

#include <QTreeWidget>
#include <array>

namespace rotary {

namespace {

using Commands = RotaryCommands;

// In the order a scan asks; the first is the presence query.
constexpr std::array<void (Commands::*)(int), 7> kSeries{
    &Commands::QueryRotaryMeasurementUnitsBut_Click,
    &Commands::QueryRotaryPulleyCircumfBut_Click,
    &Commands::QueryRotaryDirectionBut_Click,
    &Commands::QueryRotaryCountsPerRevBut_Click,
    &Commands::QueryRotaryCurrentValueBut_Click,
    &Commands::SerialNumberQuery,
    &Commands::RotaryIDQueryBut_Click};

} // namespace

int RotaryScanSeries::length() const {
    return static_cast<int>(kSeries.size());
}

QCoro::Task<bool> RotaryScanSeries::query(int page, int step) {
    co_return co_await family_.link().transact(
        [&] { (family_.commands().*kSeries.at(static_cast<size_t>(step)))(page); });
}

QCoro::Task<> RotaryScanSeries::seriesComplete(int page) {
    co_await family_.logger().takeFirstReading(page);
}

void RotaryScanSeries::clearRow(int page) {
    family_.forget(page);
}

void RotaryScanSeries::selectRow(int page) {
    QTreeWidget* list = family_.RotaryListView();
    list->setCurrentItem(list->topLevelItem(page));
}

} // namespace rotary
