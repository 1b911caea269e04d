#pragma once

#include "link/CommsLog.h"
#include "link/Framer.h"
#include "link/LinkHandler.h"

#include "platform/Services.h"
#include <QObject>
#include <QTimer>

namespace platform {
class SerialPort;
class Dialogs;
} // namespace platform

namespace sdilink {

// The SDI-12 link: sends one request at a time with break and mark, frames the reply byte
// by byte, ends a transaction that gets no reply in time, and keeps the comms log.
//
// It owns the transaction state that ties a request to its reply (strSent_Command,
// CommandMode, ReplyStatus, UserCommandFlag, BeepOnReply), the link timings, the command
// time-out timer and the receiver's state.
class Link final : public QObject {
    Q_OBJECT
public:
    // Abandoned: the window is closing; a sequence waiting for a reply stops.
    enum Status : qint16 { Waiting = 0, Handled = 1, TimedOut = 2, Abandoned = 3 };

    struct Timings {
        qint16 BreakTiming = 20;
        qint16 MarkTiming = 15;
        qint16 DataTimeout = 200;
        int CommandTimeout = 400; // interval of TimeoutTimer
    };

    Link(platform::SerialPort& port, platform::Dialogs& dialogs, platform::Sleeper sleep,
         platform::Clock clock, QObject* parent = nullptr);

    void setHandler(LinkHandler* handler) { handler_ = handler; }
    // Transaction code of the data request aD0!: 12 for level probes, 117 for encoders.
    void setDataRequestCode(qint16 code) { dataRequestCode_ = code; }
    qint16 dataRequestCode() const { return dataRequestCode_; }

    // Logs and transmits one request and starts its time-out.
    void send_TXbuff(const QByteArray& in_buff);
    // Makes the request the transaction in flight (strSent_Command, CommandMode) and sends it.
    void transmit(const QByteArray& request, qint16 code);
    // Discards every byte waiting in the serial input and returns the receiver to idle.
    void FlushInput();
    // Processes window events until ReplyStatus leaves 0; true when the decoder handled the
    // reply, false after a time-out (input flushed) or any other status.
    bool WaitForReply();
    // Sends aD0! for the address (0-9) without locking any controls.
    void sendDataRequest(int address);
    // After a measurement that announced a wait: the receiver waits for the service request
    // of MeasureAddress(). Should none come within the wait plus the command time-out, the
    // data is asked for all the same.
    void awaitServiceRequest(int waitSeconds);

    // Transaction state.
    QString strSent_Command;
    qint16 CommandMode = 0;
    bool UserCommandFlag = false;
    bool BeepOnReply = false;

    qint16 replyStatus() const { return replyStatus_; }
    void setReplyStatus(qint16 status);

    // Timings. The command time-out is the interval of TimeoutTimer; an interval of 0 never
    // fires, so no time-out occurs.
    const Timings& timings() const { return timings_; }
    void setTimings(const Timings& timings);
    void setCommandTimeout(int milliseconds);
    QTimer& TimeoutTimer() { return timeoutTimer_; }

    // Receiver state.
    quint8 ReceiveState() const { return framer_.state(); }
    void setReceiveState(quint8 state);
    int MeasureAddress() const { return framer_.measureAddress(); }
    void setMeasureAddress(int address) { framer_.setMeasureAddress(address); }
    ReceiveBuffer& receiveBuffer() { return framer_.buffer(); }

    CommsLog& commsLog() { return commsLog_; }
    platform::SerialPort& port() { return port_; }
    // The system beep, or a recorder in tests.
    void setBeeper(std::function<void()> beep) { beep_ = std::move(beep); }
    void beep() const;
    // Blocks for a number of milliseconds (the pause before a data request).
    void sleep(int milliseconds) const { sleep_(milliseconds); }

Q_SIGNALS:
    void replyStatusChanged(qint16 status);

private:
    void Comm1_OnComm();
    void TimeoutTimer_Timer();
    QString timeText() const;

    platform::SerialPort& port_;
    platform::Dialogs& dialogs_;
    platform::Sleeper sleep_;
    platform::Clock clock_;
    std::function<void()> beep_;
    LinkHandler* handler_ = nullptr;
    Framer framer_;
    CommsLog commsLog_;
    QTimer timeoutTimer_;
    QTimer serviceRequestTimer_;
    Timings timings_;
    qint16 replyStatus_ = Waiting;
    qint16 dataRequestCode_ = 12;
};

} // namespace sdilink
