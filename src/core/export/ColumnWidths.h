#pragma once

#include <algorithm>
#include <array>

namespace logexport {

// The widest content of each column, in characters, for sizing the columns to fit.
class ColumnWidths {
public:
    void fit(int column, qsizetype characters) {
        auto& w = widest_.at(static_cast<size_t>(column));
        w = std::max(w, characters);
    }
    // A column's width in character units: the widest content with a little margin.
    double width(int column) const {
        return static_cast<double>(widest_.at(static_cast<size_t>(column))) + 2.0;
    }

private:
    std::array<qsizetype, 6> widest_{};
};

// The characters a date (yyyy-mm-dd) and a time (hh:mm:ss) take.
inline constexpr int kDateCharacters = 10;
inline constexpr int kTimeCharacters = 8;

} // namespace logexport
