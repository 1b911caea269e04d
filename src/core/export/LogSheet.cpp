#include "LogSheet.h"

#include "core/logging/LogModel.h"
#include "core/protocol/Numbers.h"

#include <charconv>

namespace logexport {

LogSheet::LogSheet(const logging::LogModel& log)
    : log_(log), rows_(log.rowCount()), columns_(log.columnCount()) {}

QString LogSheet::header(int column) const {
    return log_.headerData(column, Qt::Horizontal).toString();
}

CellKind LogSheet::kind(int column) {
    switch (column) {
    case 0:
        return CellKind::Date;
    case 1:
        return CellKind::Time;
    case 2:
    case 4:
        return CellKind::Number;
    default:
        return CellKind::Text;
    }
}

int LogSheet::modelRow(int k) const {
    // New readings go on top of the log, so the sheet's rows move down by as many.
    return log_.rowCount() - rows_ + k;
}

QDate LogSheet::date(int k) const {
    return log_.date(modelRow(k));
}

QTime LogSheet::time(int k) const {
    return log_.time(modelRow(k));
}

std::optional<double> LogSheet::number(int k, int column) const {
    // A text this long stays text, so that every one of its digits is kept.
    constexpr qsizetype kLongestNumber = 63;
    const QString text = log_.text(modelRow(k), column);
    if (text.size() > kLongestNumber)
        return std::nullopt;
    return protocol::parseNumber(text, {.plus = true});
}

QString LogSheet::text(int k, int column) const {
    return log_.text(modelRow(k), column);
}

bool LogSheet::intact() const {
    return log_.rowCount() >= rows_ && log_.columnCount() == columns_;
}

double serialDate(QDate date) {
    static const qint64 epoch = QDate(1899, 12, 30).toJulianDay();
    return static_cast<double>(date.toJulianDay() - epoch);
}

double serialTime(QTime time) {
    return time.msecsSinceStartOfDay() / 86'400'000.0;
}

QByteArray numberText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

} // namespace logexport
