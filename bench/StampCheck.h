#pragma once

#include <QtGlobal>
#include <vector>

namespace bench {

// How a log's time stamps compare with one reading a second: `count` readings stamped
// start, start + 1, ... (seconds on any scale).
struct StampReport {
    qint64 rows = 0;
    qint64 missing = 0;    // seconds of the series without a reading
    qint64 duplicated = 0; // readings beyond the first in their second
    qint64 misplaced = 0;  // readings older than the one before them or outside the series
    qint64 firstBad = -1;  // index (oldest first) of the first row that breaks the series

    bool clean() const { return missing == 0 && duplicated == 0 && misplaced == 0; }
};

// `seconds` holds the rows' stamps, oldest first.
StampReport checkEverySecond(const std::vector<qint64>& seconds, qint64 start, qint64 count);

} // namespace bench
