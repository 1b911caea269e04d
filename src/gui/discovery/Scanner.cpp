#include "Scanner.h"

#include "ScanWindow.h"
#include "core/link/Link.h"
#include "core/platform/SerialPort.h"
#include "core/protocol/ScanSeries.h"
#include "gui/platform/Dialogs.h"

#include <QApplication>
#include <QProgressBar>
#include <QTabWidget>
#include <algorithm>
#include <optional>

namespace discovery {

Scanner::Scanner(sdilink::Link& link, platform::Dialogs& dialogs, QTabWidget* SensorTab,
                 protocol::ScanSeries& series, QWidget* window)
    : link_(link), dialogs_(dialogs), SensorTab_(SensorTab), series_(series), window_(window) {}

Scanner::~Scanner() {
    delete scanWindow_;
}

ScanWindow* Scanner::scanWindow() const {
    return scanWindow_;
}

void Scanner::cancel() {
    if (!scanning_)
        return;
    cancelled_ = true;
    link_.setReplyStatus(sdilink::Link::Abandoned);
}

void Scanner::Poll_Sensors() {
    // A scan never starts inside a running one (a press of "Re-Scan Sensors" while waiting),
    // and waits for the bus while another exchange holds it.
    if (scanning_ || link_.deferWhileHeld(QStringLiteral("scan"), -1, [this] { Poll_Sensors(); }))
        return;
    if (!link_.port().isOpen()) {
        dialogs_.messageBox(QStringLiteral("Connection."),
                            QStringLiteral("Unable to connect to comm port."),
                            platform::Dialogs::Icon::Exclamation);
        return;
    }
    scanning_ = true;
    scan();
}

QCoro::Task<> Scanner::scan() {
    auto sequence = std::make_optional<sdilink::Link::Sequence>(link_, true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!scanWindow_)
        scanWindow_ = new ScanWindow(window_);
    scanWindow_->setProgress(0);
    scanWindow_->show();
    int FirstFound = 0;
    // A port that went away ends the scan after the one message of the first request that
    // could not go out.
    const auto ended = [this] {
        return cancelled_ || link_.replyStatus() == sdilink::Link::Abandoned ||
               (!link_.port().isOpen() && (link_.replyStatus() == sdilink::Link::NotSent ||
                                           link_.replyStatus() == sdilink::Link::Lost));
    };

    for (int i = 0; i <= 9 && !ended(); ++i) {
        SensorTab_->setCurrentIndex(i);
        if (co_await series_.query(i, 0)) {
            if (FirstFound == 0)
                FirstFound = i + 1;
            SensorTab_->setTabEnabled(i, true);
            series_.addressFound(i);
            bool complete = true;
            for (int step = 1; step < series_.length() && complete && !ended(); ++step)
                complete = co_await series_.query(i, step);
            if (complete && !ended())
                co_await series_.seriesComplete(i);
        } else if (!ended()) {
            // Disabling the tab on show would have the tab bar show the nearest enabled page
            // first; show the page the scan goes on to instead, so that each page is shown once.
            SensorTab_->setCurrentIndex(i < 9 ? i + 1 : std::max(FirstFound - 1, 0));
            SensorTab_->setTabEnabled(i, false);
            series_.clearRow(i);
            link_.FlushInput();
        }
        if (scanWindow_)
            scanWindow_->setProgress(i);
        series_.addressDone(i);
    }

    QApplication::restoreOverrideCursor();
    link_.beep();
    if (scanWindow_)
        scanWindow_->hide();
    link_.setReceiveState(sdilink::Framer::State::Idle);
    // The bus is free before anything is said.
    const bool stopped = ended();
    sequence.reset();
    scanning_ = false;

    if (stopped) {
        cancelled_ = false;
    } else if (FirstFound != 0) {
        SensorTab_->setCurrentIndex(FirstFound - 1);
        series_.selectRow(FirstFound - 1);
    } else {
        SensorTab_->setCurrentIndex(0);
        dialogs_.messageBox(QStringLiteral("Scan Sensors..."),
                            QStringLiteral("No sensors were found. Please check connections and "
                                           "addresses."),
                            platform::Dialogs::Icon::Exclamation);
    }
}

} // namespace discovery
