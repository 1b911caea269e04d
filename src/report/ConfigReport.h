#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QTreeWidget;

namespace levelprobe {
class LevelPage;
}
namespace rotary {
class RotaryPage;
}

namespace report {

// A sensor's settings as a text report: the name the save dialog proposes and the lines of
// the file (the identification lines, then one "label = value" line per setting), taken
// from what the page shows.
struct ConfigReport {
    QString proposedName;
    QStringList lines;
};

// prefix + page + "_" + serial; the serial keeps only letters, digits, "-" and "_", so that
// whatever a sensor reports cannot make the name point into another folder.
QString proposedName(const QString& prefix, int page, const QString& serial);

// The file's bytes: every line in UTF-8, each ended by CR LF.
QByteArray fileText(const QStringList& lines);

// The report of a page; the serial number is the page's row of the sensor list.
ConfigReport levelReport(const levelprobe::LevelPage& page, int index, const QTreeWidget& list);
ConfigReport rotaryReport(const rotary::RotaryPage& page, int index, const QTreeWidget& list);

} // namespace report
