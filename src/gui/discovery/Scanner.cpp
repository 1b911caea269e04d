#include "Scanner.h"

#include "ScanWindow.h"
#include "core/link/Link.h"
#include "core/platform/SerialPort.h"
#include "gui/platform/Dialogs.h"

#include <QApplication>
#include <QProgressBar>
#include <QTabWidget>
#include <algorithm>

namespace discovery {

Scanner::Scanner(sdilink::Link& link, platform::Dialogs& dialogs, QTabWidget* SensorTab,
                 protocol::Family& family, protocol::ScanSeries& series, QWidget* window,
                 std::function<void(int page)> selectRow)
    : link_(link), dialogs_(dialogs), SensorTab_(SensorTab), scan_(link, family, series),
      window_(window), selectRow_(std::move(selectRow)) {
    QObject::connect(&scan_, &BusScan::probing, SensorTab_,
                     [this](int i) { SensorTab_->setCurrentIndex(i); });
    // Disabling the tab on show would have the tab bar show the nearest enabled page first;
    // show the page the scan goes on to instead, so that each page is shown once.
    QObject::connect(&scan_, &BusScan::absent, SensorTab_, [this](int i) {
        SensorTab_->setCurrentIndex(i < 9 ? i + 1 : std::max(scan_.firstFound(), 0));
    });
    QObject::connect(&scan_, &BusScan::addressDone, SensorTab_, [this](int i) {
        if (scanWindow_)
            scanWindow_->setProgress(i);
    });
}

Scanner::~Scanner() {
    delete scanWindow_;
}

ScanWindow* Scanner::scanWindow() const {
    return scanWindow_;
}

void Scanner::cancel() {
    scan_.cancel();
}

void Scanner::Poll_Sensors() {
    // A scan never starts inside a running one (a press of "Re-Scan Sensors" while waiting),
    // and waits for the bus while another exchange holds it.
    if (scanning() || link_.deferWhileHeld(QStringLiteral("scan"), -1, [this] { Poll_Sensors(); }))
        return;
    if (!link_.port().isOpen()) {
        dialogs_.messageBox(QStringLiteral("Connection."),
                            QStringLiteral("Unable to connect to comm port."),
                            platform::Dialogs::Icon::Exclamation);
        return;
    }
    scan();
}

QCoro::Task<> Scanner::scan() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!scanWindow_)
        scanWindow_ = new ScanWindow(window_);
    scanWindow_->setProgress(0);
    scanWindow_->show();
    const BusScan::Result result = co_await scan_.run();
    QApplication::restoreOverrideCursor();
    if (scanWindow_)
        scanWindow_->hide();
    // The bus is free before anything is said.
    if (result.stopped)
        co_return;
    if (result.firstFound >= 0) {
        SensorTab_->setCurrentIndex(result.firstFound);
        selectRow_(result.firstFound);
    } else {
        SensorTab_->setCurrentIndex(0);
        dialogs_.messageBox(QStringLiteral("Scan Sensors..."),
                            QStringLiteral("No sensors were found. Please check connections and "
                                           "addresses."),
                            platform::Dialogs::Icon::Exclamation);
    }
}

} // namespace discovery
