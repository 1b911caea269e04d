#include "ConfigReport.h"

#include "levelprobe/LevelRecord.h"
#include "rotary/RotaryRecord.h"

#include <initializer_list>
#include <utility>

namespace report {

namespace {

using Entries = std::initializer_list<std::pair<const char*, QString>>;

// The identification lines, the serial number and the address, then one line per entry.
ConfigReport build(const QString& prefix, const QStringList& ids, const QString& serial,
                   int address, Entries entries) {
    QStringList lines = ids;
    lines << QStringLiteral("Serial Number = ") + serial
          << QStringLiteral("Sensor Address = ") + QString::number(address);
    for (const auto& [label, value] : entries)
        lines << QLatin1String(label) + QStringLiteral(" = ") + value;
    return {proposedName(prefix, address, serial), lines};
}

} // namespace

QString proposedName(const QString& prefix, int page, const QString& serial) {
    QString kept;
    for (const QChar c : serial)
        if (c.isLetter() || c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            kept += c;
    return prefix + QString::number(page) + QLatin1Char('_') + kept;
}

QByteArray fileText(const QStringList& lines) {
    QByteArray text;
    for (const QString& line : lines)
        text += line.toUtf8() + "\r\n";
    return text;
}

ConfigReport levelReport(const levelprobe::LevelRecord& r, int address) {
    return build(QStringLiteral("Sensor_"), r.identification, r.serialNumber, address,
                 {{"Range", r.range},
                  {"Maximium Over Range", r.maxOverRange},
                  {"Pressure Units", r.pressureUnitText()},
                  {"Temperature Units", r.temperatureUnitText()},
                  {"Density Correction", r.densityCorrectionText()},
                  {"Local Gravity", r.localGravity},
                  {"Local Level", r.localLevel},
                  {"Reverse", r.reverseText()},
                  {"Max. Sample Rate", r.sampleRateText()},
                  {"Logging Period", r.logPeriod}});
}

ConfigReport rotaryReport(const rotary::RotaryRecord& r, int address) {
    return build(QStringLiteral("Rotary Encoder_"), r.identification, r.serialNumber, address,
                 {{"Maximum Range", r.maxRange},
                  {"Counts Per Revolution", r.countsPerRev},
                  {"Measurement Resolution", r.measurementRes},
                  {"Measurement Units", r.unitsText()},
                  {"Pulley Circumference (mm)", r.pulleyCircumference},
                  {"Rotation Direction", r.directionText()},
                  {"Logging Period", r.logPeriod}});
}

} // namespace report
