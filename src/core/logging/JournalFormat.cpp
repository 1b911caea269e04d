#include "JournalFormat.h"

#include "CsvText.h"

namespace logging::journal {

namespace {

// A field, quoted when it must be. Readings are ASCII and go byte by byte.
void appendField(QByteArray& out, const QString& text) {
    out.append(',');
    const bool quoted = csvNeedsQuotes(text);
    if (quoted)
        out.append('"');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x80) {
            // Rare: the rest as UTF-8.
            QByteArray rest = QStringView(text).mid(i).toUtf8();
            if (quoted)
                rest.replace('"', "\"\"");
            rest.replace('\n', ' ').replace('\r', ' ');
            out.append(rest);
            break;
        }
        if (u == '"')
            out.append('"');
        out.append(u == '\n' || u == '\r' ? ' ' : static_cast<char>(u));
    }
    if (quoted)
        out.append('"');
}

bool digitsAt(QByteArrayView text, qsizetype at, int count, int* value) {
    int v = 0;
    for (int i = 0; i < count; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return true;
}

struct TimeFields {
    int year, month, day, hour, minute, second, offset;
};

std::optional<TimeFields> readTime(QByteArrayView t) {
    TimeFields f{};
    if (t.size() < 20 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' ||
        t[16] != ':' || !digitsAt(t, 0, 4, &f.year) || !digitsAt(t, 5, 2, &f.month) ||
        !digitsAt(t, 8, 2, &f.day) || !digitsAt(t, 11, 2, &f.hour) ||
        !digitsAt(t, 14, 2, &f.minute) || !digitsAt(t, 17, 2, &f.second))
        return std::nullopt;
    if (t.size() == 20 && t[19] == 'Z')
        return f;
    int hours = 0;
    int minutes = 0;
    if (t.size() != 25 || (t[19] != '+' && t[19] != '-') || t[22] != ':' ||
        !digitsAt(t, 20, 2, &hours) || !digitsAt(t, 23, 2, &minutes))
        return std::nullopt;
    f.offset = (t[19] == '-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    return f;
}

} // namespace

QString familyName(bool rotary) {
    return rotary ? QStringLiteral("Rotary Encoder") : QStringLiteral("Level Probe");
}

QByteArray headerLines(const Header& h) {
    QByteArray out = kFirstLine.toByteArray() + '\n';
    out += "#family";
    appendField(out, familyName(h.rotary));
    out += "\n#address," + QByteArray::number(h.address) + "\n#serial";
    appendField(out, h.serial);
    out += "\n#units";
    appendField(out, h.units1);
    if (!h.rotary)
        appendField(out, h.units2);
    out += "\n#port";
    appendField(out, h.port);
    out += "\n#started,";
    appendTime(out, h.started);
    out += h.rotary ? "\n#columns,time,level,units\n"
                    : "\n#columns,time,pressure,units,temperature,units\n";
    return out;
}

void appendTime(QByteArray& out, const QDateTime& time) {
    int year = 0;
    int month = 0;
    int day = 0;
    time.date().getDate(&year, &month, &day);
    const QTime t = time.time();
    appendDigits(out, year, 4);
    out.append('-');
    appendDigits(out, month, 2);
    out.append('-');
    appendDigits(out, day, 2);
    out.append('T');
    appendDigits(out, t.hour(), 2);
    out.append(':');
    appendDigits(out, t.minute(), 2);
    out.append(':');
    appendDigits(out, t.second(), 2);
    const int offset = time.offsetFromUtc();
    out.append(offset < 0 ? '-' : '+');
    appendDigits(out, std::abs(offset) / 3600, 2);
    out.append(':');
    appendDigits(out, std::abs(offset) / 60 % 60, 2);
}

bool isTime(QByteArrayView text) {
    const auto f = readTime(text);
    return f && QDate::isValid(f->year, f->month, f->day) &&
           QTime::isValid(f->hour, f->minute, f->second);
}

std::optional<QDateTime> parseTime(QByteArrayView text) {
    const auto f = readTime(text);
    if (!f)
        return std::nullopt;
    const QDate date(f->year, f->month, f->day);
    const QTime time(f->hour, f->minute, f->second);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::OffsetFromUTC, f->offset);
}

void appendReading(QByteArray& out, const QDateTime& when, bool rotary, const QString& value1,
                   const QString& units1, const QString& value2, const QString& units2) {
    appendTime(out, when);
    appendField(out, value1);
    appendField(out, units1);
    if (!rotary) {
        appendField(out, value2);
        appendField(out, units2);
    }
    out.append('\n');
}

QByteArray missedLine(const QDateTime& when, const QString& reason) {
    QByteArray out = "#missed,";
    appendTime(out, when);
    appendField(out, reason);
    return out + '\n';
}

QByteArray movedLine(const QDateTime& when, int from, int to) {
    QByteArray out = "#moved,";
    appendTime(out, when);
    return out + ',' + QByteArray::number(from) + ',' + QByteArray::number(to) + '\n';
}

QByteArray finishedLine(const QDateTime& when, QByteArrayView why) {
    QByteArray out = "#finished,";
    appendTime(out, when);
    return out + ',' + why.toByteArray() + '\n';
}

QList<QByteArray> fields(QByteArrayView line) {
    QList<QByteArray> out;
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                field.append(c);
            else if (i + 1 < line.size() && line[i + 1] == '"')
                field.append(line[++i]);
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.append(field);
            field.clear();
        } else {
            field.append(c);
        }
    }
    out.append(field);
    return out;
}

} // namespace logging::journal
