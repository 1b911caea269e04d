#pragma once

#include "core/link/Code.h"
#include "core/logging/LoggingState.h"
#include "core/platform/Services.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>

namespace sdilink {
class Link;
}
namespace protocol {
class Family;
}
namespace logging {

class LogListener;
class LogModel;

// Live logging: the measurement requests, starting and stopping a log, the once-a-second
// tick that takes the readings of the running logs, and the rows of the pages' logs.
//
// It owns the logging state (LogTick, LogActive, loggingPage, each page's period) and the
// pages' logs; the families' lock rules read the state through state(), the window shows
// the logs.
class Logger final {
public:
    // Writes "Logging" or "Idle" into the "Log Status" column of a page's sensor-list row.
    using LogStatusWriter = std::function<void(int tab, const QString& text)>;

    Logger(sdilink::Link& link, platform::Clock clock);
    ~Logger();

    // The family chosen at start, and its sensor list's status column.
    void setFamily(protocol::Family* family, LogStatusWriter writeLogStatus);
    // The period of a page's log in seconds, as chosen on its page; 0 (or none chosen): a
    // single reading.
    void setPeriod(int tab, int seconds);
    int period(int tab) const { return periods_.at(static_cast<size_t>(tab)); }

    const LoggingState& state() const { return state_; }
    // Told of every row, clear, move and log reading (the journals on disk); null for none.
    void setListener(LogListener* listener) { listener_ = listener; }

    // The chosen family's measurement request, sent through its page lock. A scan waits ten
    // times the command time-out for the reading (timeoutFactor 10).
    void Measure(int tab, int timeoutFactor = 1);
    // A scan's first reading of a sensor: waits ten times the command time-out for it and,
    // when it is answered, writes the row's "Log Status". True when it was answered.
    QCoro::Task<bool> takeFirstReading(int tab);

    void StartLogBut_Click(int Index) { startLog(Index); }
    void RotaryStartLogBut_Click(int Index) { startLog(Index); }
    void StopLogBut_Click(int Index) { stopLog(Index); }
    void RotaryStopLogBut_Click(int Index) { stopLog(Index); }
    // "Get" on a level-probe page.
    void PressureBut_Click(int Index) { requestReading(Index); }
    // A reading for the page: now, or as soon as the bus is free.
    void requestReading(int tab);
    void ClearLogBut_Click(int Index);

    // Once a second: counts the running logs and sends the readings that are due. A reading
    // that falls due while the bus is in use (a transaction, a scan) goes out as soon as it
    // is free.
    void SecondTimer_Timer();
    // A reading of a running log is on the bus (from its request until the bus is free).
    bool logReadingUnderway() const { return logReadingUnderway_; }

    // Adds a reading on top of a page's log. Level-probe rows take the pressure, its units,
    // the temperature and its units; rotary rows the reading and its units. The date and
    // time are the clock's.
    void AddLogRow(int tab, const QString& value1, const QString& units1,
                   const QString& value2 = {}, const QString& units2 = {});

    // A page's log.
    LogModel& log(int tab) const;
    // Moves a page's rows below those of another page, as after an address change.
    void moveLog(int from, int to);

private:
    void measure(int tab, sdilink::Code code, int timeoutFactor);
    void sendDueReadings();
    void startLog(int tab);
    void stopLog(int tab);
    void unlockPagesWithoutWork();

    sdilink::Link& link_;
    platform::Clock clock_;
    std::array<std::unique_ptr<LogModel>, 10> logs_;
    std::array<int, 10> periods_{};
    protocol::Family* family_ = nullptr;
    LogStatusWriter writeLogStatus_;
    LogListener* listener_ = nullptr;
    LoggingState state_;
    std::array<bool, 10> due_{};
    bool logReadingUnderway_ = false;
    bool unlockWhenFree_ = false; // a log stopped while the bus was held
    QObject context_;             // ends the bus-free connection with the logger
};

} // namespace logging
