#include "RotaryEncoder.h"

#include "NumberText.h"

#include <array>
#include <cmath>

namespace sim {

namespace {

struct LengthUnit {
    const char* name;
    double metres;
    int decimals;
};

constexpr std::array kUnits{LengthUnit{"Metres", 1.0, 3}, LengthUnit{"Millimetres", 0.001, 1},
                            LengthUnit{"Inches", 0.0254, 2}, LengthUnit{"Feet", 0.3048, 3}};

const LengthUnit& lengthUnit(int units) {
    return kUnits[static_cast<std::size_t>(std::clamp(units, 0, int{kUnits.size()} - 1))];
}

double roundTo6(double value) {
    return std::round(value * 1e6) / 1e6;
}

} // namespace

RotaryEncoder::RotaryEncoder(char address, const QByteArray& serial)
    : Sensor(address, serial.isEmpty() ? QByteArray("52861") + address : serial),
      level_(1.8, {0.4, 1200.0}, {0.015, 37.0}, 0.001, static_cast<quint64>(address) * 15485863) {}

const char* RotaryEncoder::unitName(int units) {
    return units >= 0 && units < int{kUnits.size()} ? lengthUnit(units).name : "";
}

double RotaryEncoder::resolution() const {
    return settings_.countsPerRev > 0 ? settings_.circumference / (settings_.countsPerRev * 4.0)
                                      : 0.0;
}

qint64 RotaryEncoder::counts(Micros time) const {
    const double circumferenceMetres = settings_.circumference * lengthUnit(settings_.units).metres;
    if (circumferenceMetres <= 0)
        return 0;
    const double turns = level_.at(time) / circumferenceMetres;
    const auto edges = static_cast<qint64>(std::llround(turns * settings_.countsPerRev * 4.0));
    return settings_.direction == 1 ? edges : -edges;
}

double RotaryEncoder::value(Micros time) const {
    return settings_.offset + static_cast<double>(counts(time)) * resolution();
}

void RotaryEncoder::changeUnits(int units) {
    const double factor = lengthUnit(settings_.units).metres / lengthUnit(units).metres;
    settings_.circumference = roundTo6(settings_.circumference * factor);
    settings_.offset = roundTo6(settings_.offset * factor);
    settings_.units = units;
}

QByteArray RotaryEncoder::measuredValues(Micros time) const {
    return NumberText::signedFixed(value(time), lengthUnit(settings_.units).decimals);
}

Reply RotaryEncoder::valueReply(QByteArrayView mnemonic, const QByteArray& text) const {
    if (!repeatMnemonic_)
        return reply(text);
    return reply(mnemonic.toByteArray() + text);
}

QByteArray RotaryEncoder::settingMnemonic(QByteArrayView body) const {
    for (const char* mnemonic : {"XMU", "XRD", "XCP", "XPC", "XCV", "XZE"})
        if (body.startsWith(mnemonic))
            return mnemonic;
    return {};
}

QByteArray RotaryEncoder::differentValue(QByteArrayView mnemonic, QByteArrayView value) const {
    if (mnemonic == "XMU")
        return nextEntry(value, {0, 1, 2, 3});
    if (mnemonic == "XRD")
        return nextEntry(value, {0, 1});
    return plusOne(value);
}

std::optional<Reply> RotaryEncoder::answerFamily(QByteArrayView body, Micros now) {
    Settings& s = settings_;
    const int decimals = lengthUnit(s.units).decimals;
    const auto digitValue = [&]() -> std::optional<int> {
        return body.size() == 4 ? NumberText::parseDigits(body.sliced(3)) : std::nullopt;
    };

    if (body == "C")
        return measurementReply(measurementTime_, 1, 2);
    if (body.startsWith("XMU")) {
        if (body.size() > 3) {
            const auto d = digitValue();
            if (!d)
                return std::nullopt;
            if (*d < int{kUnits.size()} && *d != s.units)
                changeUnits(*d);
        }
        return valueReply("XMU", QByteArray::number(s.units));
    }
    if (body.startsWith("XRD")) {
        if (body.size() > 3) {
            const auto d = digitValue();
            if (!d)
                return std::nullopt;
            if (*d <= 1)
                s.direction = *d;
        }
        return valueReply("XRD", QByteArray::number(s.direction));
    }
    if (body.startsWith("XCP")) {
        if (const auto number = NumberText::parse(body.sliced(3)); number && *number > 0)
            s.circumference = *number;
        return valueReply("XCP", NumberText::plain(s.circumference));
    }
    if (body.startsWith("XPC")) {
        if (const auto number = NumberText::parseDigits(body.sliced(3)); number && *number > 0)
            s.countsPerRev = *number;
        return reply(QByteArray::number(s.countsPerRev));
    }
    if (body.startsWith("XCV")) {
        // The offset that makes the present output equal the value.
        if (const auto number = NumberText::parse(body.sliced(3)))
            s.offset = roundTo6(*number - static_cast<double>(counts(now)) * resolution());
        return valueReply("XCV", NumberText::signedFixed(value(now), decimals));
    }
    if (body == "XZE") {
        s.offset = roundTo6(-static_cast<double>(counts(now)) * resolution());
        return reply(NumberText::signedFixed(value(now), decimals));
    }
    return std::nullopt;
}

} // namespace sim
