#include "StampCheck.h"

namespace bench {

StampReport checkEverySecond(const std::vector<qint64>& seconds, qint64 start, qint64 count) {
    StampReport r;
    r.rows = static_cast<qint64>(seconds.size());
    const qint64 end = start + count; // one past the last second of the series
    qint64 next = start;              // the second the next reading should carry
    const auto bad = [&r](qint64 i) {
        if (r.firstBad < 0)
            r.firstBad = i;
    };
    for (qint64 i = 0; i < r.rows; ++i) {
        const qint64 s = seconds[static_cast<size_t>(i)];
        if (s < start || s >= end || (i > 0 && s < seconds[static_cast<size_t>(i - 1)])) {
            ++r.misplaced;
            bad(i);
        } else if (s < next) {
            ++r.duplicated;
            bad(i);
        } else {
            if (s > next) {
                r.missing += s - next;
                bad(i);
            }
            next = s + 1;
        }
    }
    if (next < end) {
        r.missing += end - next;
        bad(r.rows);
    }
    return r;
}

} // namespace bench
