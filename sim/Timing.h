#pragma once

#include <QtGlobal>
#include <chrono>

namespace sim {

// Every time on the simulated bus is a count of microseconds on the scheduler's clock.
using Micros = std::chrono::microseconds;

// One SDI-12 character is 10 bits on the line (start, 7 data, even parity, stop); at 1200
// baud that is 8333.3 us. Times of several characters are computed in one step so rounding
// does not add up.
constexpr Micros charactersTime(qint64 count) {
    return Micros{(count * 10 * 1'000'000 + 600) / 1200};
}

constexpr Micros milliseconds(qint64 ms) {
    return Micros{ms * 1000};
}

} // namespace sim
