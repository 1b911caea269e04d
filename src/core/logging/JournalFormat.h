#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace logging::journal {

// A journal is UTF-8 text, one record a line, each line a comma-separated record (a field
// holding a comma or a quote is quoted, its quotes doubled). Lines that start with "#" say
// what the file is and what happened; every other line is a reading:
//
//   #sdi12-config journal,1
//   #family,Level Probe
//   #address,3
//   #serial,60012345
//   #units,Metres,Centigrade
//   #port,COM5 /dev/ttyUSB0
//   #started,2026-12-06T14:03:27+01:00
//   #columns,time,pressure,units,temperature,units
//   2026-12-06T14:03:27+01:00,1.234,Metres,20.5,Centigrade
//   #missed,2026-12-06T14:03:28+01:00,no answer
//   #moved,2026-12-06T14:05:00+01:00,3,5
//   #finished,2026-12-06T15:00:00+01:00,exit
//
// A rotary journal's readings are time, level and units. Times are ISO 8601 with the
// offset from UTC, to the second, as the log rows keep them.

inline constexpr QByteArrayView kFirstLine = "#sdi12-config journal,1";

// What a journal's header says about its log.
struct Header {
    bool rotary = false;
    int address = 0;
    QString serial;
    QString units1;
    QString units2; // level probes' temperature units
    QString port;   // "COM5 /dev/ttyUSB0"
    QDateTime started;
};

QString familyName(bool rotary);
QByteArray headerLines(const Header& header);

// "2026-12-06T14:03:27+01:00" (the offset "+00:00" for UTC too).
void appendTime(QByteArray& out, const QDateTime& time);
// A time as appendTime writes it ("Z" for UTC is read as well).
std::optional<QDateTime> parseTime(QByteArrayView text);
// Only whether parseTime would read it, without building the date and time.
bool isTime(QByteArrayView text);

// A reading, appended to `out` with its end of line. A rotary reading has no second value.
void appendReading(QByteArray& out, const QDateTime& when, bool rotary, const QString& value1,
                   const QString& units1, const QString& value2, const QString& units2);
QByteArray missedLine(const QDateTime& when, const QString& reason);
QByteArray movedLine(const QDateTime& when, int from, int to);
// The last line of a journal whose log ended: "exit", "cleared", "saved"...
QByteArray finishedLine(const QDateTime& when, QByteArrayView why);

// The fields of a line (without its end of line), quotes undone.
QList<QByteArray> fields(QByteArrayView line);

} // namespace logging::journal
