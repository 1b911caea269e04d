#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>

class QObject;

namespace platform {

// Waits some milliseconds without blocking, then calls `then` on the calling thread from its
// event loop, unless `context` has gone by then. The program uses a precise timer; tests
// record the pause and go on at once.
using Pause = std::function<void(int milliseconds, QObject* context, std::function<void()> then)>;

// The current local date and time (as an offset from UTC). Tests fix it so logged texts
// are deterministic.
using Clock = std::function<QDateTime()>;

Pause timerPause();
Clock systemClock();

// The program's arguments as given, before any application object exists (so that --help and
// --version work without a display).
QStringList rawArguments(int argc, char* argv[]);

// The processor time this process has used so far, all its threads, in milliseconds.
double processTimeMs();

// Texts of dates and times in the user's locale, as the comms log, the log rows and the
// status-bar clock show them.
QString longTimeText(const QTime& time);  // e.g. 14:03:27 (the locale's long format, no zone)
QString shortDateText(const QDate& date); // e.g. 06/12/2026 in a day-first locale
QString logTimeText(const QTime& time);   // always "hh:mm:ss", 24-hour

} // namespace platform
