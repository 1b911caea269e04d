#include "ConfigReport.h"

#include "core/levelprobe/LevelRecord.h"
#include "core/rotary/RotaryRecord.h"

namespace report {

const QStringList& levelReportLabels() {
    static const QStringList labels{QStringLiteral("Range"),
                                    QStringLiteral("Maximium Over Range"),
                                    QStringLiteral("Pressure Units"),
                                    QStringLiteral("Temperature Units"),
                                    QStringLiteral("Density Correction"),
                                    QStringLiteral("Local Gravity"),
                                    QStringLiteral("Local Level"),
                                    QStringLiteral("Reverse"),
                                    QStringLiteral("Max. Sample Rate"),
                                    QStringLiteral("Logging Period")};
    return labels;
}

const QStringList& rotaryReportLabels() {
    static const QStringList labels{QStringLiteral("Maximum Range"),
                                    QStringLiteral("Counts Per Revolution"),
                                    QStringLiteral("Measurement Resolution"),
                                    QStringLiteral("Measurement Units"),
                                    QStringLiteral("Pulley Circumference (mm)"),
                                    QStringLiteral("Rotation Direction"),
                                    QStringLiteral("Logging Period")};
    return labels;
}

QStringList reportLines(const QStringList& identification, const QString& serial, int address,
                        const QStringList& labels, const QStringList& values) {
    Q_ASSERT(labels.size() == values.size());
    QStringList lines = identification;
    lines << kSerialNumberLabel + kSeparator + serial
          << kAddressLabel + kSeparator + QString::number(address);
    for (qsizetype i = 0; i < labels.size(); ++i)
        lines << labels.at(i) + kSeparator + values.value(i);
    return lines;
}

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

// The values are in the order of levelReportLabels() and rotaryReportLabels().
ConfigReport levelReport(const levelprobe::LevelRecord& r, int address) {
    const QStringList values{r.range,
                             r.maxOverRange,
                             r.pressureUnitText(),
                             r.temperatureUnitText(),
                             r.densityCorrectionText(),
                             r.localGravity,
                             r.localLevel,
                             r.reverseText(),
                             r.sampleRateText(),
                             r.logPeriod};
    return {proposedName(QStringLiteral("Sensor_"), address, r.serialNumber),
            reportLines(r.identification, r.serialNumber, address, levelReportLabels(), values)};
}

ConfigReport rotaryReport(const rotary::RotaryRecord& r, int address) {
    const QStringList values{r.maxRange,    r.countsPerRev,        r.measurementRes,
                             r.unitsText(), r.pulleyCircumference, r.directionText(),
                             r.logPeriod};
    return {proposedName(QStringLiteral("Rotary Encoder_"), address, r.serialNumber),
            reportLines(r.identification, r.serialNumber, address, rotaryReportLabels(), values)};
}

} // namespace report
