#pragma once

#include <QCoroTask>
#include <QPointer>

class QTabWidget;
class QWidget;

namespace platform {
class Dialogs;
}
namespace protocol {
class ScanSeries;
}
namespace sdilink {
class Link;
}

namespace discovery {

class ScanWindow;

// The bus scan: probes addresses 0-9 in turn, enables the page of every sensor that answers
// and fills it with the family's query series and a first reading.
class Scanner {
public:
    Scanner(sdilink::Link& link, platform::Dialogs& dialogs, QTabWidget* SensorTab,
            protocol::ScanSeries& series, QWidget* window);
    ~Scanner();

    // Starts one complete scan; does nothing while a scan is already running, and says so
    // when no port is open. The scan goes on from the event loop, step by step.
    void Poll_Sensors();
    bool scanning() const { return scanning_; }
    // Ends a running scan after the transaction in flight, without its closing box (the
    // window is closing).
    void cancel();
    ScanWindow* scanWindow() const;

private:
    QCoro::Task<> scan();

    sdilink::Link& link_;
    platform::Dialogs& dialogs_;
    QTabWidget* SensorTab_;
    protocol::ScanSeries& series_;
    QWidget* window_;
    QPointer<ScanWindow> scanWindow_;
    bool scanning_ = false;
    bool cancelled_ = false;
};

} // namespace discovery
