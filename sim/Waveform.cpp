#include "Waveform.h"

#include <cmath>
#include <numbers>

namespace sim {

namespace {

quint64 mix(quint64 x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// A number in [-1, 1] that depends only on its arguments.
double unitNoise(quint64 seed, qint64 slot) {
    const quint64 bits = mix(seed ^ mix(static_cast<quint64>(slot)));
    return static_cast<double>(bits >> 11) / static_cast<double>(1ULL << 52) - 1.0;
}

} // namespace

Waveform::Waveform(double base, Swing slow, Swing fast, double noise, quint64 seed)
    : base_(base), slow_(slow), fast_(fast), noise_(noise), seed_(seed),
      phase_((unitNoise(seed, -1) + 1.0) * std::numbers::pi) {}

double Waveform::at(Micros time) const {
    const double seconds = static_cast<double>(time.count()) / 1e6;
    const double tau = 2.0 * std::numbers::pi;
    return base_ + slow_.amplitude * std::sin(tau * seconds / slow_.periodSeconds + phase_) +
           fast_.amplitude * std::sin(tau * seconds / fast_.periodSeconds + 2.0 * phase_) +
           noise_ * unitNoise(seed_, time.count() / 500'000);
}

} // namespace sim
