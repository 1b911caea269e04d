#include "LevelProbe.h"

#include "NumberText.h"

#include <QList>
#include <array>
#include <cmath>

namespace sim {

namespace {

struct PressureUnit {
    int code;
    const char* name;
    double pascals; // one unit in Pa
    bool waterColumn;
    bool absolute;
    int decimals;
};

constexpr double kStandardGravity = 9.80665;
constexpr double kWaterMetre = 1000.0 * kStandardGravity; // Pa per metre of water
constexpr double kAtmosphere = 101325.0;

constexpr std::array kUnits{
    PressureUnit{0, "mH2O", kWaterMetre, true, false, 3},
    PressureUnit{1, "ftH2O", kWaterMetre * 0.3048, true, false, 3},
    PressureUnit{2, "inH2O", kWaterMetre * 0.0254, true, false, 2},
    PressureUnit{3, "bar", 1e5, false, false, 4},
    PressureUnit{5, "mmWg", kWaterMetre / 1000.0, true, false, 1},
    PressureUnit{6, "cmWg", kWaterMetre / 100.0, true, false, 2},
    PressureUnit{10, "mH2O Absolute", kWaterMetre, true, true, 3},
    PressureUnit{11, "mm Hg", 133.322387, false, false, 1},
    PressureUnit{12, "Inch Hg", 3386.389, false, false, 3},
    PressureUnit{13, "mbar", 100.0, false, false, 2},
    PressureUnit{14, "KPa", 1000.0, false, false, 3},
};

// The maker's own requests, longest first so that the first that starts a body is its
// mnemonic; the rest of the body is the value.
constexpr std::array<const char*, 19> kMnemonics{
    "XANCALON", "XANCLV0", "XANCLV1", "XTRIMOF", "XTRIMON", "XUNLK", "XMOR", "XREV", "XLOF", "XLOC",
    "XSPM",     "XUP",     "XUT",     "XRA",     "XU0",     "XU1",   "XP",   "XE",   "XF"};

const PressureUnit& unit(int code) {
    for (const auto& u : kUnits)
        if (u.code == code)
            return u;
    return kUnits[0];
}

double roundTo6(double value) {
    return std::round(value * 1e6) / 1e6;
}

bool allDigits(QByteArrayView text) {
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

LevelProbe::LevelProbe(char address, const QByteArray& serial)
    : Sensor(address, serial.isEmpty() ? QByteArray("31407") + address : serial),
      head_(1.25, {0.35, 1800.0}, {0.02, 47.0}, 0.002, static_cast<quint64>(address) * 7919),
      temperature_(11.0, {2.5, 7200.0}, {0.1, 300.0}, 0.03,
                   static_cast<quint64>(address) * 104729) {}

void LevelProbe::setEnvironment(const Waveform& headMetres, const Waveform& temperatureC) {
    head_ = headMetres;
    temperature_ = temperatureC;
}

bool LevelProbe::isPressureUnit(int code) {
    for (const auto& u : kUnits)
        if (u.code == code)
            return true;
    return false;
}

const char* LevelProbe::unitName(int code) {
    return isPressureUnit(code) ? unit(code).name : "";
}

Micros LevelProbe::measurementTime() const {
    if (measurementTime_)
        return *measurementTime_;
    return milliseconds(qint64{settings_.filterReadings} * settings_.filterInterval * 200);
}

double LevelProbe::readingBeforeOffset(Micros time) const {
    const PressureUnit& u = unit(settings_.pressureUnit);
    const double pascals = head_.at(time) * kWaterMetre;
    double value = pascals / u.pascals;
    // A water-column unit is corrected for the liquid's density and the local gravity.
    if (u.waterColumn && settings_.densityCorrection == 0 && settings_.gravity > 0)
        value *= settings_.sgReciprocal * kStandardGravity / settings_.gravity;
    if (u.absolute)
        value += kAtmosphere / u.pascals;
    if (settings_.calibrationOn)
        value = (value + settings_.zeroCorrection) * settings_.slope;
    if (settings_.trimOn)
        value += settings_.userOffset;
    return value;
}

double LevelProbe::pressureReading(Micros time) const {
    double value = readingBeforeOffset(time) + settings_.levelOffset;
    if (settings_.localOffsetApplied)
        value += settings_.localLevel;
    if (settings_.reverse)
        value = settings_.range - value;
    return std::min(value, settings_.maxOverRange);
}

double LevelProbe::temperatureReading(Micros time) const {
    const double celsius = temperature_.at(time);
    return settings_.temperatureUnit == 1 ? celsius * 9.0 / 5.0 + 32.0 : celsius;
}

void LevelProbe::changePressureUnit(int code) {
    // Settings held in the pressure unit follow it into the new one.
    const double factor = unit(settings_.pressureUnit).pascals / unit(code).pascals;
    for (double* value : {&settings_.range, &settings_.maxOverRange, &settings_.localLevel,
                          &settings_.userOffset, &settings_.zeroCorrection, &settings_.levelOffset})
        *value = roundTo6(*value * factor);
    settings_.pressureUnit = code;
}

QByteArray LevelProbe::measuredValues(Micros time) const {
    return NumberText::signedFixed(pressureReading(time), unit(settings_.pressureUnit).decimals) +
           NumberText::signedFixed(temperatureReading(time), 1);
}

Reply LevelProbe::numberReply(double value) const {
    return reply(NumberText::signedPlain(value));
}

Reply LevelProbe::filterReply() const {
    QByteArray text = "0,";
    text += QByteArray::number(settings_.filterReadings).rightJustified(2, '0');
    text += ',';
    text += QByteArray::number(settings_.filterInterval).rightJustified(4, '0');
    return reply(text);
}

std::optional<Reply> LevelProbe::answerFamily(QByteArrayView body, Micros now) {
    if (body == "M")
        return measurementReply(measurementTime(), 2, 1);
    const QByteArray m = settingMnemonic(body);
    if (m.isEmpty())
        return std::nullopt;
    return answerSetting(m, body.sliced(m.size()), now);
}

QByteArray LevelProbe::settingMnemonic(QByteArrayView body) const {
    for (const char* mnemonic : kMnemonics)
        if (body.startsWith(mnemonic))
            return mnemonic;
    return {};
}

QByteArray LevelProbe::differentValue(QByteArrayView mnemonic, QByteArrayView value) const {
    static const QList<int> codes = [] {
        QList<int> list;
        for (const auto& u : kUnits)
            list.append(u.code);
        return list;
    }();
    if (mnemonic == "XUP")
        return nextEntry(value, codes);
    for (const char* onOff : {"XUT", "XP", "XREV", "XLOC", "XUNLK", "XTRIMON", "XANCALON"})
        if (mnemonic == onOff)
            return nextEntry(value, {0, 1});
    if (mnemonic == "XF") {
        QList<QByteArray> parts = value.toByteArray().split(',');
        const auto readings = parts.size() == 3 ? NumberText::parseDigits(parts[1]) : std::nullopt;
        if (!readings)
            return value.toByteArray();
        parts[1] = QByteArray::number(*readings % 99 + 1).rightJustified(2, '0');
        return parts.join(',');
    }
    if (value.startsWith(',')) // XU0, XU1, XANCLV0, XANCLV1
        return ',' + plusOne(value.sliced(1));
    return plusOne(value);
}

std::optional<Reply> LevelProbe::answerSetting(QByteArrayView mnemonic, QByteArrayView value,
                                               Micros now) {
    Settings& s = settings_;

    // A flag or list index: one digit within its range; anything else is no request of ours.
    const auto digitSetting = [&](int& field, int highest) -> std::optional<Reply> {
        if (!allDigits(value))
            return std::nullopt;
        if (value.size() == 1 && value[0] - '0' <= highest)
            field = value[0] - '0';
        return reply(QByteArray::number(field));
    };
    // A number written as text; refused (value kept) when it is no number or out of range.
    const auto numberSetting = [&](double& field, bool positive, bool allowed = true) {
        if (allowed && !value.isEmpty())
            if (const auto number = NumberText::parse(value); number && (!positive || *number > 0))
                field = *number;
        return numberReply(field);
    };
    // The same after a comma: "XU0,1.0" sets, "XU0" reads.
    const auto commaNumberSetting = [&](double& field, bool positive) {
        if (value.startsWith(',')) {
            if (const auto number = NumberText::parse(value.sliced(1));
                number && (!positive || *number > 0))
                field = *number;
        }
        return numberReply(field);
    };

    if (mnemonic == "XUP") {
        if (!allDigits(value))
            return std::nullopt;
        if (const auto code = NumberText::parseDigits(value);
            code && value.size() <= 2 && isPressureUnit(*code) && *code != s.pressureUnit)
            changePressureUnit(*code);
        return reply(QByteArray::number(s.pressureUnit));
    }
    if (mnemonic == "XUT")
        return digitSetting(s.temperatureUnit, 1);
    if (mnemonic == "XP")
        return digitSetting(s.densityCorrection, 1);
    if (mnemonic == "XREV")
        return digitSetting(s.reverse, 1);
    if (mnemonic == "XLOC")
        return digitSetting(s.localOffsetApplied, 1);
    if (mnemonic == "XUNLK")
        return digitSetting(s.unlocked, 1);
    if (mnemonic == "XTRIMON")
        return digitSetting(s.trimOn, 1);
    if (mnemonic == "XANCALON")
        return digitSetting(s.calibrationOn, 1);
    if (mnemonic == "XE")
        return numberSetting(s.gravity, true);
    if (mnemonic == "XRA")
        return numberSetting(s.range, true, s.unlocked == 1);
    if (mnemonic == "XMOR")
        return numberSetting(s.maxOverRange, true, s.unlocked == 1);
    if (mnemonic == "XLOF")
        return numberSetting(s.localLevel, false);
    if (mnemonic == "XTRIMOF") {
        if (!value.isEmpty() && NumberText::parse(value))
            s.trimOn = 0;
        return numberSetting(s.userOffset, false);
    }
    if (mnemonic == "XU0")
        return commaNumberSetting(s.sgReciprocal, true);
    if (mnemonic == "XU1")
        return commaNumberSetting(s.userOffset, false);
    if (mnemonic == "XANCLV0")
        return commaNumberSetting(s.zeroCorrection, false);
    if (mnemonic == "XANCLV1")
        return commaNumberSetting(s.slope, false);
    if (mnemonic == "XF") {
        if (!value.isEmpty()) {
            const QList<QByteArray> parts = value.toByteArray().split(',');
            const auto type = parts.size() == 3 ? NumberText::parseDigits(parts[0]) : std::nullopt;
            const auto readings = type ? NumberText::parseDigits(parts[1]) : std::nullopt;
            const auto interval = type ? NumberText::parseDigits(parts[2]) : std::nullopt;
            if (type == 0 && readings && interval && *readings >= 1 && *readings <= 99 &&
                *interval >= 1 && *interval <= 9999) {
                s.filterReadings = *readings;
                s.filterInterval = *interval;
            }
        }
        return filterReply();
    }
    if (mnemonic == "XSPM") {
        // The offset that makes the present reading equal the value, then a measurement.
        if (const auto target = NumberText::parse(value)) {
            double reading = readingBeforeOffset(now);
            if (s.localOffsetApplied)
                reading += s.localLevel;
            const double wanted = s.reverse ? s.range - *target : *target;
            s.levelOffset = roundTo6(wanted - reading);
        }
        return measurementReply(measurementTime(), 1, 1);
    }
    return std::nullopt;
}

} // namespace sim
