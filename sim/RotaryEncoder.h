#pragma once

#include "Sensor.h"
#include "Waveform.h"

#include <optional>

namespace sim {

// A rotary shaft encoder on a float-and-pulley: the float follows a water level that drifts
// around 1.8 m, the pulley turns the shaft, and the encoder counts four edges per line.
// Its output is a level in its measurement unit that the user can set to any current value.
class RotaryEncoder final : public Sensor {
public:
    struct Settings {
        int units = 0;                // 0 metres, 1 millimetres, 2 inches, 3 feet
        double circumference = 0.375; // pulley circumference, in the measurement unit
        int direction = 1;            // 0 anticlockwise, 1 clockwise counts up
        int countsPerRev = 1000;      // encoder lines per revolution
        double offset = 0.0;          // output at zero counts, in the measurement unit
    };

    explicit RotaryEncoder(char address, const QByteArray& serial = {});

    Family family() const override { return Family::RotaryEncoder; }

    const Settings& settings() const { return settings_; }
    void setSettings(const Settings& settings) { settings_ = settings; }

    // Repeat the request's mnemonic at the start of the unit, circumference, direction and
    // current-value answers ("2XMU3" instead of "23"), as some firmware does.
    void setRepeatMnemonic(bool on) { repeatMnemonic_ = on; }
    bool repeatMnemonic() const { return repeatMnemonic_; }

    // Replaces the drifting water level (metres), for tests that need exact readings.
    void setEnvironment(const Waveform& levelMetres) { level_ = levelMetres; }

    // How long a measurement takes; zero (the default) means the value is ready at once.
    void setMeasurementTime(Micros time) { measurementTime_ = time; }
    Micros measurementTime() const { return measurementTime_; }

    // Counts since power-up and the output value at a time.
    qint64 counts(Micros time) const;
    double value(Micros time) const;

    static const char* unitName(int units);

protected:
    QByteArray model() const override { return "ROT210"; }
    QByteArray firmwareVersion() const override { return "107"; }
    std::optional<Reply> answerFamily(QByteArrayView body, Micros now) override;
    QByteArray settingMnemonic(QByteArrayView body) const override;
    QByteArray differentValue(QByteArrayView mnemonic, QByteArrayView value) const override;
    QByteArray measuredValues(Micros time) const override;

private:
    Reply valueReply(QByteArrayView mnemonic, const QByteArray& text) const;
    double resolution() const;
    void changeUnits(int units);

    Settings settings_;
    Waveform level_;
    Micros measurementTime_{0};
    bool repeatMnemonic_ = false;
};

} // namespace sim
