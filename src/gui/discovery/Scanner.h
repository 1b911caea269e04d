#pragma once

#include "core/discovery/BusScan.h"

#include <QCoroTask>
#include <QPointer>
#include <functional>

class QTabWidget;
class QWidget;

namespace platform {
class Dialogs;
}
namespace protocol {
class Family;
class ScanSeries;
} // namespace protocol
namespace sdilink {
class Link;
}

namespace discovery {

class ScanWindow;

// The bus scan as the window shows it: the core's scan, with its progress window, the page
// of the address probed shown, the first sensor found chosen at the end, or a box when none
// was.
class Scanner {
public:
    Scanner(sdilink::Link& link, platform::Dialogs& dialogs, QTabWidget* SensorTab,
            protocol::Family& family, protocol::ScanSeries& series, QWidget* window,
            std::function<void(int page)> selectRow);
    ~Scanner();

    // Starts one complete scan; does nothing while a scan is already running, and says so
    // when no port is open. The scan goes on from the event loop, step by step.
    void Poll_Sensors();
    bool scanning() const { return scan_.running(); }
    // Ends a running scan after the transaction in flight, without its closing box (the
    // window is closing).
    void cancel();
    ScanWindow* scanWindow() const;

private:
    QCoro::Task<> scan();

    sdilink::Link& link_;
    platform::Dialogs& dialogs_;
    QTabWidget* SensorTab_;
    BusScan scan_;
    QWidget* window_;
    std::function<void(int page)> selectRow_;
    QPointer<ScanWindow> scanWindow_;
};

} // namespace discovery
