#pragma once

#include <QtGlobal>
#include <vector>

namespace bench {

// How a log's time stamps compare with one reading requested a second: `count` requests at
// start, start + 1, ... (seconds on any scale). A reading carries the second it arrived in,
// which is its request's second or, when the bus was busy, a later one: the readings are
// matched to the requests in order, and one stamped after its request's second is delayed,
// not lost. A reading stamped before the earliest request still without one has no request
// left to answer: it is one too many.
struct StampReport {
    qint64 rows = 0;
    qint64 missing = 0;    // requests without a reading
    qint64 duplicated = 0; // readings beyond one per request
    qint64 misplaced = 0;  // readings older than the one before them or outside the series
    qint64 delayed = 0;    // readings stamped after their request's second
    qint64 maxDelay = 0;   // seconds, the most any reading was delayed
    // Index (oldest first) of the first row that breaks the series; for missing readings, the
    // first of the delayed readings that run to the end, or rows when there are none.
    qint64 firstBad = -1;

    bool clean() const { return missing == 0 && duplicated == 0 && misplaced == 0; }
};

// `seconds` holds the rows' stamps, oldest first.
StampReport checkEverySecond(const std::vector<qint64>& seconds, qint64 start, qint64 count);

} // namespace bench
