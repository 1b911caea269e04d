#pragma once

#include <functional>
#include <utility>

namespace plot {

// What "Fit All" shows of `count` readings from `first` to `last` (seconds): a little room
// after the newest reading, so that the axes stay put for a while.
std::pair<double, double> wholeLog(double first, double last, int count);

// The time span shown after zooming the span `shown` by `factor` (below 1: in) around
// `anchor` (0-1 across the plot), for `count` readings whose times `seconds(i)` gives. In
// goes as far as about ten readings around the point zoomed at; out as far as the whole
// log, and never beyond it.
std::pair<double, double> zoomedSpan(std::pair<double, double> shown, double factor, double anchor,
                                     int count, const std::function<double(int)>& seconds);

} // namespace plot
