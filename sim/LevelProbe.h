#pragma once

#include "Sensor.h"
#include "Waveform.h"

#include <optional>

namespace sim {

// A pressure/level transmitter. It measures the head of water above it (a level drifting
// slowly around 1.25 m) and its temperature, and reports both in its configured units with
// its corrections applied. Its maker-specific requests read ("aXUP!") or write ("aXUP12!")
// one setting each; a write answers with the value the sensor holds afterwards. While the
// sensor is locked it keeps its range and maximum over-range.
class LevelProbe final : public Sensor {
public:
    struct Settings {
        int pressureUnit = 0;       // unit code, 0 = mH2O (see unitName)
        int temperatureUnit = 0;    // 0 Centigrade, 1 Fahrenheit
        int densityCorrection = 0;  // 0 compensated, 1 uncompensated
        double gravity = 9.80665;   // local gravity, m/s2
        double range = 10.0;        // full scale, in the pressure unit
        double maxOverRange = 12.0; // highest reading reported, in the pressure unit
        int reverse = 0;            // 1: readings count down from the range
        double localLevel = 0.0;    // added to readings while the local offset is applied
        int localOffsetApplied = 0;
        int unlocked = 0;          // 0: range and maximum over-range are protected
        int filterReadings = 10;   // readings averaged per measurement
        int filterInterval = 1;    // 0.2 s steps between readings
        double sgReciprocal = 1.0; // 1 / specific gravity of the liquid
        double userOffset = 0.0;   // trim offset, added while trim is on
        int trimOn = 1;
        double zeroCorrection = 0.0; // calibration: added to the raw reading
        double slope = 1.0;          // calibration: multiplies it afterwards
        int calibrationOn = 1;
        double levelOffset = 0.0; // set by auto zero / level offset
    };

    explicit LevelProbe(char address, const QByteArray& serial = {});

    Family family() const override { return Family::LevelProbe; }

    const Settings& settings() const { return settings_; }
    void setSettings(const Settings& settings) { settings_ = settings; }

    // Replaces the drifting level (metres of water) and temperature (Centigrade), for
    // tests that need exact readings.
    void setEnvironment(const Waveform& headMetres, const Waveform& temperatureC);

    // How long a measurement takes; by default the filter's readings x interval x 0.2 s.
    void setMeasurementTime(std::optional<Micros> time) { measurementTime_ = time; }
    Micros measurementTime() const;

    // The two values a measurement at this time gives: the reading in the pressure unit and
    // the temperature in the temperature unit.
    double pressureReading(Micros time) const;
    double temperatureReading(Micros time) const;

    static bool isPressureUnit(int code);
    static const char* unitName(int code);

protected:
    QByteArray model() const override { return "LVL300"; }
    QByteArray firmwareVersion() const override { return "214"; }
    std::optional<Reply> answerFamily(QByteArrayView body, Micros now) override;
    QByteArray settingMnemonic(QByteArrayView body) const override;
    QByteArray differentValue(QByteArrayView mnemonic, QByteArrayView value) const override;
    QByteArray measuredValues(Micros time) const override;

private:
    std::optional<Reply> answerSetting(QByteArrayView mnemonic, QByteArrayView value, Micros now);
    double readingBeforeOffset(Micros time) const;
    void changePressureUnit(int code);
    Reply numberReply(double value) const;
    Reply filterReply() const;

    Settings settings_;
    Waveform head_;
    Waveform temperature_;
    std::optional<Micros> measurementTime_;
};

} // namespace sim
