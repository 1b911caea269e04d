#pragma once

#include <array>

namespace widgets {
class DropDown;
} // namespace widgets

namespace logging {

class LogFrame;
class Logger;

// Each page's frame shows the logger's log of that page.
void showLogs(Logger& logger, const std::array<LogFrame*, 10>& frames);
// The logger logs each page at the period its list shows, whenever the list changes.
void followPeriodLists(Logger& logger, const std::array<widgets::DropDown*, 10>& lists);

} // namespace logging
