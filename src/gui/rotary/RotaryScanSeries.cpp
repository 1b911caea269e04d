#include "RotaryScanSeries.h"

#include "RotaryFamily.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"
#include "gui/widgets/Controls.h"

#include <QTreeWidget>
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
    RotarySensors& sensors = family_.sensors();
    const Code code = kSeries.at(static_cast<size_t>(step));
    co_return co_await sensors.link().transact([&] { sensors.query(page, code); });
}

QCoro::Task<> RotaryScanSeries::seriesComplete(int page) {
    co_await family_.logger().takeFirstReading(page);
}

void RotaryScanSeries::clearRow(int page) {
    family_.sensors().forget(page);
}

void RotaryScanSeries::selectRow(int page) {
    QTreeWidget* list = family_.RotaryListView();
    list->setCurrentItem(list->topLevelItem(page));
}

} // namespace rotary
