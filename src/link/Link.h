#pragma once

#include "link/CommsLog.h"
#include "link/Framer.h"
#include "link/LinkHandler.h"
#include "link/Transaction.h"

#include "platform/Services.h"
#include "platform/Timers.h"
#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <functional>
#include <memory>

namespace platform {
class SerialPort;
class Dialogs;
} // namespace platform

namespace sdilink {

// Every request sent and every line received, with a time stamp
// (QT_LOGGING_RULES="sdi12.wire.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcWire)

// The SDI-12 link: sends one request at a time with break and mark, frames the reply byte
// by byte, hands the line that answers the transaction in flight to the decoder, ends a
// transaction that gets no reply in time, and keeps the comms log.
//
// It owns the one transaction in flight, the reply status, the link timings, the time-out
// timers and the receiver's state.
class Link final : public QObject {
    Q_OBJECT
public:
    // Abandoned: the window is closing; a sequence waiting for a reply stops.
    // NotSent: the port was closed, or the sender refused, so nothing went out.
    enum Status : qint16 { Waiting = 0, Handled = 1, TimedOut = 2, Abandoned = 3, NotSent = 4 };

    struct Timings {
        qint16 BreakTiming = 20;
        qint16 MarkTiming = 15;
        qint16 DataTimeout = 200;
        int CommandTimeout = 400; // 0: no time-out
    };

    Link(platform::SerialPort& port, platform::Dialogs& dialogs, platform::Sleeper sleep,
         platform::Clock clock, QObject* parent = nullptr,
         platform::Timers& timers = platform::realTimers());
    ~Link() override;

    void setHandler(LinkHandler* handler) { handler_ = handler; }
    // Transaction code of the data request aD0!: 12 for level probes, 117 for encoders.
    void setDataRequestCode(qint16 code) { dataRequestCode_ = code; }
    qint16 dataRequestCode() const { return dataRequestCode_; }

    // Makes the transaction the one in flight and sends it.
    void transmit(const Transaction& transaction);
    // Logs and transmits the request bytes of the transaction in flight and starts its
    // time-out; on a closed port says so and ends the transaction at once.
    void send_TXbuff(const QByteArray& in_buff);
    // One step of a sequence: `send` sends a request (through a page's handler, which locks
    // the page); then waits for its reply. True when the decoder handled the reply; false
    // after a time-out, when nothing was sent, or when the wait was abandoned.
    bool transact(const std::function<void()>& send);
    // Discards every byte waiting in the serial input (the driver's too) and returns the
    // receiver to idle.
    void FlushInput();
    // Processes window events until ReplyStatus leaves 0; true when the decoder handled the
    // reply, false after a time-out (input flushed) or any other status.
    bool WaitForReply();
    // Sends aD0! for the address (0-9) without locking any controls. It belongs to the same
    // page and has the same time-out as the measurement it follows.
    void sendDataRequest(int address);
    // After a measurement that announced a wait: the receiver waits for the service request
    // of MeasureAddress(). Should none come within the wait plus the command time-out (or
    // within `milliseconds`), the data is asked for all the same.
    void awaitServiceRequest(int waitSeconds);
    void awaitServiceRequestWithin(int milliseconds);

    // The transaction in flight, or the last one.
    const Transaction& transaction() const { return current_; }
    QString strSent_Command() const { return QString::fromLatin1(current_.request); }
    qint16 CommandMode() const { return current_.code; }
    // A request is out and its reply or time-out has not come yet.
    bool awaitingReply() const { return awaiting_; }

    // The bus is in use: a reply or a service request is awaited, or a sequence (scan,
    // re-query) runs. busFree() is emitted when that ends.
    bool busy() const;
    // A sequence holds the bus.
    bool inSequence() const { return sequences_ > 0; }
    class Sequence {
    public:
        explicit Sequence(Link& link);
        ~Sequence();
        Sequence(const Sequence&) = delete;
        Sequence& operator=(const Sequence&) = delete;

    private:
        Link& link_;
    };

    bool UserCommandFlag = false;
    bool BeepOnReply = false;

    qint16 replyStatus() const { return replyStatus_; }
    void setReplyStatus(qint16 status);

    // Timings. A command time-out of 0 never fires.
    const Timings& timings() const { return timings_; }
    void setTimings(const Timings& timings);
    void setCommandTimeout(int milliseconds);
    platform::OneShotTimer& TimeoutTimer() { return *timeoutTimer_; }
    // Milliseconds since an arbitrary start, on the link's clock.
    qint64 elapsedMs() const { return timers_.elapsedMs(); }

    // Receiver state.
    quint8 ReceiveState() const { return framer_.state(); }
    void setReceiveState(quint8 state);
    int MeasureAddress() const { return framer_.measureAddress(); }
    void setMeasureAddress(int address) { framer_.setMeasureAddress(address); }

    CommsLog& commsLog() { return commsLog_; }
    platform::SerialPort& port() { return port_; }
    // The system beep, or a recorder in tests.
    void setBeeper(std::function<void()> beep) { beep_ = std::move(beep); }
    void beep() const;
    // Blocks for a number of milliseconds (the pause before a data request).
    void sleep(int milliseconds) const { sleep_(milliseconds); }

Q_SIGNALS:
    void replyStatusChanged(qint16 status);
    void busFree();
    // The port's device failed while open; the transaction in flight has ended (NotSent).
    void portLost();

private:
    void Comm1_OnComm();
    void onPortLost();
    // Ends the transaction in flight as one nothing will answer: status NotSent, its page
    // (and any it replaced) unlocked.
    void endUnanswerable();
    void lineFramed(const QByteArray& line);
    void TimeoutTimer_Timer();
    void notifyIfFree();
    // Unlocks the pages of transactions that a newer one replaced before they ended.
    void unlockSuperseded();
    QString timeText() const;

    platform::SerialPort& port_;
    platform::Dialogs& dialogs_;
    platform::Sleeper sleep_;
    platform::Clock clock_;
    platform::Timers& timers_;
    std::function<void()> beep_;
    LinkHandler* handler_ = nullptr;
    Framer framer_;
    CommsLog commsLog_;
    std::unique_ptr<platform::OneShotTimer> timeoutTimer_;
    std::unique_ptr<platform::OneShotTimer> serviceRequestTimer_;
    Timings timings_;
    Transaction current_;
    QList<int> superseded_;
    bool awaiting_ = false;
    bool closedPortBoxShown_ = false;
    int sequences_ = 0;
    quint64 transmitted_ = 0;
    qint16 replyStatus_ = Waiting;
    qint16 dataRequestCode_ = 12;
};

} // namespace sdilink
