#include "MinMaxColumns.h"

#include <algorithm>

namespace plot {

namespace {

void merge(Column& into, const Column& other) {
    if (other.empty())
        return;
    if (into.empty()) {
        into = other;
        return;
    }
    // On a tie the earlier reading stays.
    if (other.min < into.min || (other.min == into.min && other.minAt < into.minAt)) {
        into.min = other.min;
        into.minAt = other.minAt;
    }
    if (other.max > into.max || (other.max == into.max && other.maxAt < into.maxAt)) {
        into.max = other.max;
        into.maxAt = other.maxAt;
    }
}

} // namespace

MinMaxColumns::MinMaxColumns(double start, double width, int count)
    : start_(start), width_(width), columns_(static_cast<size_t>(std::max(count, 1))) {}

MinMaxColumns MinMaxColumns::covering(double first, double last, int count) {
    MinMaxColumns grid(first, 1, count);
    while (grid.end() <= last)
        grid.width_ *= 2;
    return grid;
}

int MinMaxColumns::columnOf(double seconds) const {
    if (!(seconds >= start_) || !(width_ > 0))
        return -1;
    const double column = std::floor((seconds - start_) / width_);
    if (column >= static_cast<double>(columns_.size()))
        return -1;
    return static_cast<int>(column);
}

bool MinMaxColumns::add(double seconds, double value) {
    const int column = columnOf(seconds);
    if (column < 0)
        return false;
    if (!std::isnan(value))
        merge(columns_[static_cast<size_t>(column)], Column{value, value, seconds, seconds});
    return true;
}

void MinMaxColumns::widen() {
    const size_t n = columns_.size();
    for (size_t i = 0; i < n; ++i) {
        Column merged;
        if (2 * i < n)
            merged = columns_[2 * i];
        if (2 * i + 1 < n)
            merge(merged, columns_[2 * i + 1]);
        columns_[i] = merged;
    }
    width_ *= 2;
}

} // namespace plot
