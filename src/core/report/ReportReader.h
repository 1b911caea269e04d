#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace report {

struct ReportSetting {
    QString label;
    QString value;
    int line = 0; // 1-based line number in the file
};

struct ReadReport {
    bool ok = false;
    bool rotary = false;        // which family's report it is
    QStringList identification; // the lines before "Serial Number = "
    QString serialNumber;
    int address = -1;
    QList<ReportSetting> settings; // the family's setting lines, in file order
    QString error;                 // when !ok: why, naming the first line that does not fit
};

// Reads a configuration report as "Save As..." writes it: CR LF or LF line ends, the last
// line with or without its end, UTF-8.
//
// The identification lines are free text, up to the first line that starts with
// "Serial Number = "; the address line follows it. The first setting line tells the family
// ("Range = " a level probe, "Maximum Range = " a rotary encoder); then every one of that
// family's labels comes once, in the order the report writes them, each as "label = value"
// with the label letter for letter. Values are kept as they stand, spaces included. Only
// empty lines (or lines of spaces and tabs) may follow the last setting. A byte-order mark
// at the start is skipped.
//
// Refused, with a message in plain words naming the first line that does not fit: an empty
// file, one over 64 KiB, one that is no UTF-8 text or holds NUL bytes, a carriage return
// that ends no line, and anything out of the above order.
ReadReport readReport(const QByteArray& bytes);

// Reads the report saved at path as readReport() does. Only a regular file is opened (a pipe
// or a device would wait for a writer) and at most a byte more than a report may hold is
// read; a file that cannot be read is said in `error`, with its path.
ReadReport readReportFile(const QString& path);

// The value of a setting line of a report read; empty when it has no such line.
QString settingValue(const ReadReport& report, const QString& label);

} // namespace report
