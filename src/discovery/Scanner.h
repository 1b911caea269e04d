#pragma once

#include <QPointer>
#include <functional>

class QTabWidget;
class QWidget;

namespace logging {
struct LoggingState;
}
namespace platform {
class Dialogs;
}
namespace sdilink {
class Link;
}

namespace discovery {

class ScanSeries;
class ScanWindow;

// The bus scan: probes addresses 0-9 in turn, enables the page of every sensor that answers
// and fills it with the family's query series and a first reading.
class Scanner {
public:
    Scanner(sdilink::Link& link, platform::Dialogs& dialogs, QTabWidget* SensorTab,
            ScanSeries& series, const logging::LoggingState& logging, QWidget* window);
    ~Scanner();

    // Runs one complete scan; does nothing while a scan is already running.
    void Poll_Sensors();
    bool scanning() const { return scanning_; }
    // Ends a running scan after the transaction in flight, without its closing box (the
    // window is closing).
    void cancel();
    ScanWindow* scanWindow() const;

    // Sends one request and waits for its reply; false after a time-out or when it cannot
    // be sent.
    bool transact(const std::function<bool()>& send);
    bool query(int page, int step);
    // Takes a reading with ten times the command time-out (restored whatever happens) and,
    // when it is answered, writes the page's "Log Status".
    void measureAndShowStatus(int page);

private:
    sdilink::Link& link_;
    platform::Dialogs& dialogs_;
    QTabWidget* SensorTab_;
    ScanSeries& series_;
    const logging::LoggingState& logging_;
    QWidget* window_;
    QPointer<ScanWindow> scanWindow_;
    bool scanning_ = false;
    bool cancelled_ = false;
};

} // namespace discovery
