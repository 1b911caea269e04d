#include "ZoomSpan.h"

#include "MinMaxColumns.h"

#include <algorithm>

namespace plot {

namespace {
constexpr double kMinimumSpan = 10;  // seconds: the closest zoom
constexpr int kClosestReadings = 10; // readings across the plot at the closest zoom
constexpr double kFirstSpan = 60;    // seconds shown around a single reading
} // namespace

std::pair<double, double> wholeLog(double first, double last, int count) {
    if (count == 1)
        return {first - kFirstSpan / 2, first + kFirstSpan / 2};
    return {first, last + std::max(last - first, kFirstSpan) / 16};
}

std::pair<double, double> zoomedSpan(std::pair<double, double> shown, double factor, double anchor,
                                     int count, const std::function<double(int)>& seconds) {
    anchor = std::clamp(anchor, 0.0, 1.0);
    const double span = shown.second - shown.first;
    const double at = shown.first + anchor * span;
    double wanted = span * factor;
    if (factor < 1) {
        const int near = firstAtOrAfter(count, at, seconds);
        const int lo = std::max(0, std::min(near - kClosestReadings / 2, count - kClosestReadings));
        const int hi = std::min(count - 1, lo + kClosestReadings);
        const double closest = std::max(seconds(hi) - seconds(lo), kMinimumSpan);
        wanted = std::max(wanted, std::min(span, closest));
    }
    double from = at - anchor * wanted;
    double to = from + wanted;
    if (factor > 1) {
        double first = seconds(0);
        double last = first;
        for (int i = 1; i < count; ++i) {
            first = std::min(first, seconds(i));
            last = std::max(last, seconds(i));
        }
        const auto [whole0, whole1] = wholeLog(first, last, count);
        if (wanted >= whole1 - whole0)
            return {whole0, whole1};
        const double shift = std::max(0.0, whole0 - from) - std::max(0.0, to - whole1);
        from += shift;
        to += shift;
    }
    return {from, to};
}

} // namespace plot
