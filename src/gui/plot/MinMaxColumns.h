#pragma once

#include <cmath>
#include <limits>
#include <vector>

namespace plot {

// The lowest and highest value that fell into one column of a time grid, with the times
// they were taken at, so that a line through the columns draws them in their order.
struct Column {
    double min = std::numeric_limits<double>::quiet_NaN();
    double max = std::numeric_limits<double>::quiet_NaN();
    double minAt = 0;
    double maxAt = 0;

    bool empty() const { return std::isnan(min); }
};

// Decimation of a series of readings to a grid of columns of equal width in time, one or two
// per pixel: each column keeps the minimum and the maximum of its readings, so no peak or dip
// is lost however many readings share a pixel. Times are in seconds.
class MinMaxColumns {
public:
    MinMaxColumns() = default;
    // Columns [start + i * width, start + (i + 1) * width) for i in 0 .. count - 1.
    MinMaxColumns(double start, double width, int count);

    // The grid a live view starts with: `count` columns from `first`, each a power of two
    // seconds wide (one second at least), wide enough to hold `last`.
    static MinMaxColumns covering(double first, double last, int count);

    double start() const { return start_; }
    double width() const { return width_; }
    double end() const { return start_ + width_ * static_cast<double>(columns_.size()); }
    int count() const { return static_cast<int>(columns_.size()); }
    const std::vector<Column>& columns() const { return columns_; }

    // The column a time falls into, or -1 outside the grid.
    int columnOf(double seconds) const;

    // Takes one reading into its column. A reading outside the grid, or whose value is not a
    // number, is left out; false then for a time outside the grid.
    bool add(double seconds, double value);

    // Doubles the width of the columns from the same start, merging neighbours in pairs: the
    // grid then reaches twice as far and every extreme is kept.
    void widen();

private:
    double start_ = 0;
    double width_ = 1;
    std::vector<Column> columns_;
};

// The first of the readings 0 .. count - 1, kept in time order, that is at or after a time;
// count when there is none. `seconds(i)` is the time of reading i.
template <class Seconds> int firstAtOrAfter(int count, double time, Seconds seconds) {
    int low = 0;
    int high = count;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (static_cast<double>(seconds(mid)) < time)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// Takes readings first .. last - 1 into the columns; `read(i)` gives reading i's time and
// value as a pair.
template <class Read> void addReadings(MinMaxColumns& columns, int first, int last, Read read) {
    for (int i = first; i < last; ++i) {
        const auto [seconds, value] = read(i);
        columns.add(static_cast<double>(seconds), value);
    }
}

} // namespace plot
