#include "Services.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <limits>
#include <memory>
#include <sys/prctl.h>

namespace platform {

Pause timerPause() {
    // Break and mark are timed by these pauses. The kernel lets a timer fire up to 50 us late
    // by default, to gather wake-ups; on the line that is waste, twice for every request.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    return [](int ms, QObject* context, std::function<void()> then) {
        QTimer::singleShot(std::max(0, ms), Qt::PreciseTimer, context, std::move(then));
    };
}

Clock systemClock() {
    // Local time is the system's time plus the zone's offset from UTC. Asking for the local
    // time makes the C library look at the zone's file on disk every time (twice for every
    // comms-log line); the offset is looked up again only when the minute changes, since
    // zones change their offset only at the start of a minute. A zone changed while the
    // program runs is seen from the next minute.
    struct Offset {
        qint64 minute = std::numeric_limits<qint64>::min();
        int seconds = 0;
    };
    return [offset = std::make_shared<Offset>()] {
        const qint64 ms = QDateTime::currentMSecsSinceEpoch();
        const qint64 minute = ms >= 0 ? ms / 60000 : (ms - 59999) / 60000;
        if (minute != offset->minute) {
            offset->minute = minute;
            offset->seconds = QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime).offsetFromUtc();
        }
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offset->seconds);
    };
}

double processTimeMs() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

namespace {

// The locale's long time format without the time-zone name, which a desktop locale adds
// to its long format but which has no place in a log line.
QString longTimeFormat() {
    static const QString format = [] {
        QString f = QLocale().timeFormat(QLocale::LongFormat);
        f.remove(QRegularExpression(QStringLiteral("\\s*\\(?t+\\)?")));
        return f.trimmed();
    }();
    return format;
}

} // namespace

QString longTimeText(const QTime& time) {
    return QLocale().toString(time, longTimeFormat());
}

QString shortDateText(const QDate& date) {
    return QLocale().toString(date, QLocale::ShortFormat);
}

QString logTimeText(const QTime& time) {
    return time.toString(QStringLiteral("hh:mm:ss"));
}

QStringList rawArguments(int argc, char* argv[]) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

} // namespace platform
