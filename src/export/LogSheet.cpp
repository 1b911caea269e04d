#include "LogSheet.h"

#include "logging/LogModel.h"

#include <charconv>
#include <cmath>

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
    return parseNumber(log_.text(modelRow(k), column));
}

QString LogSheet::text(int k, int column) const {
    return log_.text(modelRow(k), column);
}

bool LogSheet::intact() const {
    return log_.rowCount() >= rows_ && log_.columnCount() == columns_;
}

std::optional<double> parseNumber(QStringView text) {
    // Values are short ASCII texts; anything longer or wider is not a reading.
    char buffer[64] = {};
    const qsizetype n = text.size();
    if (n == 0 || n >= qsizetype(sizeof buffer))
        return std::nullopt;
    qsizetype at = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool allowed =
            (u >= '0' && u <= '9') || u == '.' || u == '-' || u == '+' || u == 'e' || u == 'E';
        if (!allowed)
            return std::nullopt;
        buffer[at++] = static_cast<char>(u);
    }
    const char* first = buffer;
    const char* last = buffer + at;
    if (*first == '+') { // from_chars takes no plus sign
        ++first;
        if (first == last || *first == '-' || *first == '+')
            return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
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
