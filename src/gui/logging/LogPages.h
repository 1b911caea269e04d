#pragma once

#include "core/logging/LogPeriods.h"

#include <array>
#include <span>

namespace widgets {
class DropDown;
} // namespace widgets

namespace logging {

class LogFrame;
class Logger;

// Fills a logging-period list with the periods and selects the first entry.
void fillLogPeriodList(widgets::DropDown& list, std::span<const LogPeriod> periods);

// Each page's frame shows the logger's log of that page.
void showLogs(Logger& logger, const std::array<LogFrame*, 10>& frames);
// The logger logs each page at the period its list shows, whenever the list changes.
void followPeriodLists(Logger& logger, const std::array<widgets::DropDown*, 10>& lists);

} // namespace logging
