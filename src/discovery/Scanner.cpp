#include "Scanner.h"

#include "ScanSeries.h"
#include "ScanWindow.h"
#include "link/Link.h"
#include "logging/LoggingState.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QProgressBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace discovery {

Scanner::Scanner(sdilink::Link& link, platform::Dialogs& dialogs, QTabWidget* SensorTab,
                 ScanSeries& series, const logging::LoggingState& logging, QWidget* window)
    : link_(link), dialogs_(dialogs), SensorTab_(SensorTab), series_(series), logging_(logging),
      window_(window) {}

Scanner::~Scanner() {
    delete scanWindow_;
}

ScanWindow* Scanner::scanWindow() const {
    return scanWindow_;
}

bool Scanner::transact(const std::function<bool()>& send) {
    link_.setReplyStatus(sdilink::Link::Waiting);
    return send() && link_.WaitForReply();
}

bool Scanner::query(int page, int step) {
    return transact([&] { return series_.send(page, step); });
}

void Scanner::measureAndShowStatus(int page) {
    const int setting = link_.timings().CommandTimeout;
    link_.TimeoutTimer().setInterval(10 * setting);
    link_.setReplyStatus(sdilink::Link::Waiting);
    series_.measure(page);
    const bool answered = link_.WaitForReply();
    link_.TimeoutTimer().setInterval(setting);
    if (!answered)
        return;
    if (QTreeWidgetItem* row = series_.list()->topLevelItem(page))
        row->setText(series_.logStatusColumn(), logging_.LoggingSensor != 0
                                                    ? QStringLiteral("Logging")
                                                    : QStringLiteral("Idle"));
}

void Scanner::cancel() {
    if (!scanning_)
        return;
    cancelled_ = true;
    link_.setReplyStatus(sdilink::Link::Abandoned);
}

void Scanner::Poll_Sensors() {
    // A scan never starts inside a running one (a press of "Re-Scan Sensors" while waiting).
    if (scanning_)
        return;
    scanning_ = true;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    link_.BeepOnReply = false;
    if (!scanWindow_)
        scanWindow_ = new ScanWindow(window_);
    scanWindow_->ProgressBar1->setValue(0);
    scanWindow_->show();
    int FirstFound = 0;

    for (int i = 0; i <= 9 && !cancelled_; ++i) {
        // Replies are written into the page shown, so the page comes first.
        SensorTab_->setCurrentIndex(i);
        if (query(i, 0)) {
            if (FirstFound == 0)
                FirstFound = i + 1;
            SensorTab_->setTabEnabled(i, true);
            series_.addressFound(i);
            bool complete = true;
            for (int step = 1; step < series_.length() && complete && !cancelled_; ++step)
                complete = query(i, step);
            if (complete && !cancelled_) {
                series_.seriesComplete(i);
                measureAndShowStatus(i);
            }
        } else if (!cancelled_) {
            SensorTab_->setTabEnabled(i, false);
            series_.clearRow(i);
            link_.FlushInput();
        }
        if (scanWindow_)
            scanWindow_->ProgressBar1->setValue(i);
        series_.addressDone(i);
    }

    QApplication::restoreOverrideCursor();
    link_.BeepOnReply = true;
    link_.beep();
    if (scanWindow_)
        scanWindow_->hide();
    link_.setReceiveState(0);

    if (cancelled_) {
        cancelled_ = false;
    } else if (FirstFound != 0) {
        SensorTab_->setCurrentIndex(FirstFound - 1);
        QTreeWidget* list = series_.list();
        list->setCurrentItem(list->topLevelItem(FirstFound - 1));
    } else {
        SensorTab_->setCurrentIndex(0);
        dialogs_.messageBox(QStringLiteral("Scan Sensors..."),
                            QStringLiteral("No sensors were found. Please check connections and "
                                           "addresses."),
                            platform::Dialogs::Icon::Exclamation);
    }
    scanning_ = false;
}

} // namespace discovery
