#include "JournalReader.h"

#include "LogModel.h"

#include <QFile>

namespace logging {

namespace {

using journal::fields;

void readHeaderLine(JournalSummary& s, const QList<QByteArray>& f) {
    const QByteArray& key = f[0];
    const auto text = [&f](qsizetype i) {
        return i < f.size() ? QString::fromUtf8(f[i]) : QString();
    };
    if (key == "#family") {
        s.header.rotary = text(1) == journal::familyName(true);
    } else if (key == "#address") {
        s.header.address = s.address = text(1).toInt();
    } else if (key == "#serial") {
        s.header.serial = text(1);
    } else if (key == "#units") {
        s.header.units1 = text(1);
        s.header.units2 = text(2);
    } else if (key == "#port") {
        QStringList parts;
        for (qsizetype i = 1; i < f.size(); ++i)
            parts << text(i);
        s.header.port = parts.join(QLatin1Char(' '));
    } else if (key == "#started") {
        s.header.started = journal::parseTime(f.value(1)).value_or(QDateTime());
    }
}

// One whole line, without its end of line.
void readLine(JournalSummary& s, QByteArrayView line, LogModel* into) {
    if (line.contains('\0')) {
        ++s.incompleteLines;
        return;
    }
    if (line.startsWith('#')) {
        const QList<QByteArray> f = fields(line);
        if (f[0] == "#missed")
            ++s.missed;
        else if (f[0] == "#moved" && f.size() == 4)
            s.address = f[3].toInt();
        else if (f[0] == "#finished")
            s.finished = true;
        else
            readHeaderLine(s, f);
        return;
    }
    // Most lines are readings: the time is checked in place, the fields split only to fill
    // a log.
    const qsizetype comma = line.indexOf(',');
    const QByteArrayView time = line.first(comma < 0 ? line.size() : comma);
    const auto wanted = s.header.rotary ? 3 : 5;
    if (!journal::isTime(time) ||
        (!into && line.count(',') < wanted - 1)) { // quoted commas only add to the count
        ++s.unreadableLines;
        return;
    }
    if (into) {
        const QList<QByteArray> f = fields(line);
        if (f.size() != wanted) {
            ++s.unreadableLines;
            return;
        }
        const QString v2 = s.header.rotary ? QString() : QString::fromUtf8(f[3]);
        const QString u2 = s.header.rotary ? QString() : QString::fromUtf8(f[4]);
        into->addRow(*journal::parseTime(time), QString::fromUtf8(f[1]), QString::fromUtf8(f[2]),
                     v2, u2);
    }
    if (s.readings++ == 0)
        s.first = *journal::parseTime(time);
}

} // namespace

JournalSummary readJournal(const QString& path, LogModel* into) {
    JournalSummary s;
    s.path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        s.error = file.errorString();
        return s;
    }
    QByteArray copy;
    const qint64 size = file.size();
    const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    if (mapped == nullptr && size > 0) {
        copy = file.readAll();
        mapped = reinterpret_cast<const uchar*>(copy.constData());
    }
    const QByteArrayView bytes(reinterpret_cast<const char*>(mapped), mapped != nullptr ? size : 0);
    if (bytes.isEmpty()) {
        s.error = QStringLiteral("the file is empty");
        return s;
    }
    // Lines may end in CR LF (a journal copied through an editor or another system).
    const QByteArrayView afterFirst =
        bytes.sliced(std::min(bytes.size(), journal::kFirstLine.size()));
    if (!bytes.startsWith(journal::kFirstLine) ||
        !(afterFirst.isEmpty() || afterFirst.startsWith('\n') || afterFirst.startsWith("\r\n"))) {
        s.error = bytes.startsWith("#sdi12-config journal,")
                      ? QStringLiteral("written by a newer version of the program")
                      : QStringLiteral("not a log journal");
        return s;
    }
    QByteArrayView lastReading;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0) {
            // Cut short by a power cut or a kill as it was being written.
            ++s.incompleteLines;
            break;
        }
        QByteArrayView line = bytes.sliced(at, end - at);
        if (line.endsWith('\r'))
            line.chop(1);
        const qint64 before = s.readings;
        readLine(s, line, into);
        if (s.readings != before)
            lastReading = line;
        at = end + 1;
    }
    if (s.readings > 0) {
        const qsizetype comma = lastReading.indexOf(',');
        s.last = *journal::parseTime(lastReading.first(comma));
    }
    return s;
}

bool journalFinished(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 kTail = 256;
    file.seek(std::max<qint64>(0, file.size() - kTail));
    const QByteArray tail = file.readAll();
    if (!tail.endsWith('\n'))
        return false;
    const qsizetype start = tail.lastIndexOf('\n', tail.size() - 2) + 1;
    return tail.sliced(start).startsWith("#finished,");
}

} // namespace logging
