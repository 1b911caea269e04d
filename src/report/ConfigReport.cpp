#include "ConfigReport.h"

#include "levelprobe/LevelPage.h"
#include "rotary/RotaryPage.h"
#include "widgets/DropDown.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <initializer_list>
#include <utility>

namespace report {

namespace {

QString serialOf(const QTreeWidget& list, int index) {
    const QTreeWidgetItem* row = list.topLevelItem(index);
    return row != nullptr ? row->text(1) : QString();
}

using Entries = std::initializer_list<std::pair<const char*, QString>>;

// The identification lines, the serial number and the address, then one line per entry.
ConfigReport build(const QString& prefix, const QListWidget& ids, int index,
                   const QTreeWidget& list, Entries entries) {
    const QString serial = serialOf(list, index);
    QStringList lines;
    for (int i = 0; i < ids.count(); ++i)
        lines << ids.item(i)->text();
    lines << QStringLiteral("Serial Number = ") + serial
          << QStringLiteral("Sensor Address = ") + QString::number(index);
    for (const auto& [label, value] : entries)
        lines << QLatin1String(label) + QStringLiteral(" = ") + value;
    return {proposedName(prefix, index, serial), lines};
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

ConfigReport levelReport(const levelprobe::LevelPage& page, int index, const QTreeWidget& list) {
    return build(QStringLiteral("Sensor_"), *page.SensorIDList, index, list,
                 {{"Range", page.RangeText->text()},
                  {"Maximium Over Range", page.MaxOverRangeText->text()},
                  {"Pressure Units", page.PressUnitsCombo->text()},
                  {"Temperature Units", page.TempUnitsCombo->text()},
                  {"Density Correction", page.DensityCorrCombo->text()},
                  {"Local Gravity", page.LocalGravityText->text()},
                  {"Local Level", page.LevelText->text()},
                  {"Reverse", page.ReverseCombo->text()},
                  {"Max. Sample Rate", page.SampleRateText->text()},
                  {"Logging Period", page.LogPeriodCombo->text()}});
}

ConfigReport rotaryReport(const rotary::RotaryPage& page, int index, const QTreeWidget& list) {
    return build(QStringLiteral("Rotary Encoder_"), *page.RotarySensorIDList, index, list,
                 {{"Maximum Range", page.RotaryMaxRangeText->text()},
                  {"Counts Per Revolution", page.RotaryCountsPerRevText->text()},
                  {"Measurement Resolution", page.RotaryMeasurementResText->text()},
                  {"Measurement Units", page.RotaryMeasurementUnitsCombo->text()},
                  {"Pulley Circumference (mm)", page.RotaryPulleyCircumText->text()},
                  {"Rotation Direction", page.RotaryDirectionCombo->text()},
                  {"Logging Period", page.RotaryLogPeriodCombo->text()}});
}

} // namespace report
