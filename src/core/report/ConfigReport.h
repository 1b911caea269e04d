#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QStringList>

namespace levelprobe {
struct LevelRecord;
}
namespace rotary {
struct RotaryRecord;
}

namespace report {

// A sensor's settings as a text report: the name the save dialog proposes and the lines of
// the file (the identification lines, then one "label = value" line per setting), taken
// from the sensor's record: what it answered at the last scan or query, and the page's own
// settings.
struct ConfigReport {
    QString proposedName;
    QStringList lines;
};

// prefix + page + "_" + serial; the serial keeps only letters, digits, "-" and "_", so that
// whatever a sensor reports cannot make the name point into another folder.
QString proposedName(const QString& prefix, int page, const QString& serial);

// The file's bytes: every line in UTF-8, each ended by CR LF.
QByteArray fileText(const QStringList& lines);

// What stands between a line's label and its value, and the labels of the two lines between
// the identification and the settings.
inline constexpr QLatin1String kSeparator(" = ");
inline constexpr QLatin1String kSerialNumberLabel("Serial Number");
inline constexpr QLatin1String kAddressLabel("Sensor Address");

// The labels of each family's setting lines, in the order of the file.
const QStringList& levelReportLabels();
const QStringList& rotaryReportLabels();

// The lines of a report: the identification lines, the serial number, the address, then
// "label = value" for each label and the value at the same place.
QStringList reportLines(const QStringList& identification, const QString& serial, int address,
                        const QStringList& labels, const QStringList& values);

// The report of the sensor at an address.
ConfigReport levelReport(const levelprobe::LevelRecord& record, int address);
ConfigReport rotaryReport(const rotary::RotaryRecord& record, int address);

} // namespace report
