#include "Services.h"

#include <QLocale>
#include <QRegularExpression>
#include <QThread>
#include <ctime>
#include <sys/prctl.h>

namespace platform {

Sleeper realSleeper() {
    // Break and mark are timed by these sleeps, on the thread that asks for the sleeper. The
    // kernel lets a sleep end up to 50 us late by default, to gather wake-ups; on the line
    // that is waste, twice for every request.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    return [](int ms) {
        if (ms > 0)
            QThread::msleep(static_cast<unsigned long>(ms));
    };
}

Clock systemClock() {
    return [] { return QDateTime::currentDateTime(); };
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

} // namespace platform
