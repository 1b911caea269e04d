#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

namespace logging {
class LogModel;
}

namespace logexport {

// What a column of an exported log holds.
enum class CellKind { Date, Time, Number, Text };

// A page's log as the sheet an export writes: a header row, an empty row, then one row per
// reading, newest first. Dates and times come from the stored readings; the value columns
// become numbers, the units columns text.
//
// The row count is taken when the sheet is made. Readings that arrive while an export runs
// (the progress dialog lets the bus go on) are not part of it; a log emptied meanwhile makes
// intact() false, and no cell may be read after that.
class LogSheet {
public:
    explicit LogSheet(const logging::LogModel& log);

    int rowCount() const { return rows_; }
    int columnCount() const { return columns_; }
    QString header(int column) const;
    static CellKind kind(int column);

    // Reading k, 0 the newest.
    QDate date(int k) const;
    QTime time(int k) const;
    // A value column's number: an optional sign, digits with an optional "." and an optional
    // exponent, whatever the locale. Empty when the text is empty, holds anything else (no
    // blanks either) or is too long to be a reading's value.
    std::optional<double> number(int k, int column) const;
    QString text(int k, int column) const;

    bool intact() const;

private:
    int modelRow(int k) const;

    const logging::LogModel& log_;
    int rows_;
    int columns_;
};

// Spreadsheet serial values (1900 date system): days since 1899-12-30, and the fraction of a
// day.
double serialDate(QDate date);
double serialTime(QTime time);

// The number as a spreadsheet's general format shows it, shortest first ("12.5", "-0.25",
// "1e+20"); used for csv fields and column widths.
QByteArray numberText(double value);

} // namespace logexport
