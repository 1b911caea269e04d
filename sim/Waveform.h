#pragma once

#include "Timing.h"

namespace sim {

// A quantity that changes plausibly over time: a base value, a slow and a fast swing and a
// little noise that changes every half second. It is a pure function of time and seed, so
// the same clock gives the same readings.
class Waveform {
public:
    struct Swing {
        double amplitude = 0.0;
        double periodSeconds = 1.0;
    };

    Waveform(double base, Swing slow, Swing fast, double noise, quint64 seed);

    double at(Micros time) const;

private:
    double base_;
    Swing slow_;
    Swing fast_;
    double noise_;
    quint64 seed_;
    double phase_;
};

} // namespace sim
