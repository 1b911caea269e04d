#include "StampCheck.h"

#include <algorithm>

namespace bench {

StampReport checkEverySecond(const std::vector<qint64>& seconds, qint64 start, qint64 count) {
    StampReport r;
    r.rows = static_cast<qint64>(seconds.size());
    const qint64 end = start + count; // one past the last request
    qint64 next = start;              // the earliest request still without its reading
    qint64 lateSince = -1;            // the first of the readings delayed since the last on time
    const auto bad = [&r](qint64 i) {
        if (r.firstBad < 0)
            r.firstBad = i;
    };
    for (qint64 i = 0; i < r.rows; ++i) {
        const qint64 s = seconds[static_cast<size_t>(i)];
        const bool answersNone = next == end;
        if (s < start || (answersNone && s >= end) ||
            (i > 0 && s < seconds[static_cast<size_t>(i - 1)])) {
            ++r.misplaced;
            bad(i);
        } else if (answersNone || s < next) {
            ++r.duplicated;
            bad(i);
        } else {
            const qint64 delay = s - next;
            if (delay > 0) {
                ++r.delayed;
                r.maxDelay = std::max(r.maxDelay, delay);
                if (lateSince < 0)
                    lateSince = i;
            } else {
                lateSince = -1;
            }
            ++next;
        }
    }
    if (next < end) {
        r.missing = end - next;
        bad(lateSince >= 0 ? lateSince : r.rows);
    }
    return r;
}

} // namespace bench
