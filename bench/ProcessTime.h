#pragma once

#include <sys/resource.h>

namespace bench {

// The processor time of this process so far, user and system, all threads, in milliseconds.
inline double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

} // namespace bench
