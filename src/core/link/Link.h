#pragma once

#include "core/link/BusQueue.h"
#include "core/link/CommsLog.h"
#include "core/link/Framer.h"
#include "core/link/LinkHandler.h"
#include "core/link/MeasurementWait.h"
#include "core/link/Transaction.h"
#include "core/link/Transmitter.h"

#include "core/platform/Services.h"
#include "core/platform/Timers.h"
#include <QHash>
#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <coroutine>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace platform {
class SerialPort;
} // namespace platform

namespace sdilink {

// Every request sent and every line received, with a time stamp
// (QT_LOGGING_RULES="sdi12.wire.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcWire)

// The SDI-12 link and the one owner of the bus: sends one request at a time with break and
// mark, frames the reply byte by byte, hands the line that answers the transaction in flight
// to the decoder, ends a transaction that gets no reply in time, and keeps the comms log.
//
// An exchange holds the bus from its first byte to its end: a request and its reply, a
// measurement from aM!/aC! through the service-request wait to its data, a sequence (a scan,
// a calibration stage) from its first step to its last. A request or sequence started while
// the bus is held waits in the link's queue and goes, in order, when the bus is free.
//
// A sequence is a coroutine: each step sends its request and awaits the end of its own
// exchange (`co_await link.transact(...)`). It resumes from the event loop, after the call
// that ended the exchange has returned, so a dialog open meanwhile never holds it up; when
// every wait is abandoned (the window closes) it resumes at once with false.
//
// It owns the transaction in flight, the queue, the reply status, the link timings, the
// time-out timers and the receiver's state.
class Link final : public QObject {
    Q_OBJECT
public:
    // Abandoned: the window is closing; a sequence waiting for a reply stops.
    // NotSent: the port was closed, or the sender refused, so nothing went out.
    // Lost: the request was written, then the port was lost before its answer.
    enum Status : qint16 {
        Waiting = 0,
        Handled = 1,
        TimedOut = 2,
        Abandoned = 3,
        NotSent = 4,
        Lost = 5
    };

    struct Timings {
        qint16 BreakTiming = 20;
        qint16 MarkTiming = 15;
        qint16 DataTimeout = 200;
        int CommandTimeout = 400; // below 1: the default 400
    };

    // Requests waiting for the bus at most; a further one is dropped with a beep.
    static constexpr int kQueueLimit = BusQueue::kLimit;
    // A request waiting this long shows "Waiting for the bus..." until it goes.
    static constexpr int kWaitNoticeMs = 2000;

    Link(platform::SerialPort& port, platform::Pause pause, platform::Clock clock,
         QObject* parent = nullptr, platform::Timers& timers = platform::realTimers());
    ~Link() override;

    void setHandler(LinkHandler* handler) { handler_ = handler; }
    // Transaction code of the data request aD0!: Data for level probes, RotaryData for
    // encoders.
    void setDataRequestCode(Code code) { dataRequestCode_ = code; }
    Code dataRequestCode() const { return dataRequestCode_; }

    // Sends the transaction when the bus is free, or when it is a step or follow-up of the
    // exchange that holds the bus; otherwise it waits in the queue (once: the same request
    // waiting already is not queued again; a full queue drops it with a beep).
    void transmit(const Transaction& transaction);
    // A sequence started while another exchange holds the bus: queues `task` (once per key)
    // and gives true; the task runs when the bus is free. False when the caller may go on
    // at once.
    bool deferWhileHeld(const QString& key, int page, std::function<void()> task);
    // A sequence that follows the reply being decoded (the re-read after a unit change):
    // it runs once the decoder has returned, before anything else waiting for the bus.
    void followWith(const QString& key, int page, std::function<void()> task);
    // Logs and transmits the request bytes of the transaction in flight and starts its
    // time-out; on a closed port says so and ends the transaction at once.
    void send_TXbuff(const QByteArray& in_buff);
    class Await;
    // One step of a sequence: `send` sends a request (through a page's handler, which locks
    // the page); co_await gives the end of the exchange that request started: true when its
    // own reply was handled; false after its time-out, when nothing was sent, or when the
    // wait was abandoned (replyStatus() says which).
    [[nodiscard]] Await transact(const std::function<void()>& send);
    // A sequence's turn on the bus: co_await gives true at once when the bus is free, else
    // once everything queued before it has gone; false when the same key waits already, the
    // queue is full, or the wait was abandoned.
    [[nodiscard]] Await turn(const QString& key, int page);
    // Discards every byte waiting in the serial input (the driver's too) and returns the
    // receiver to idle. Lines those bytes end still reach the comms log.
    void FlushInput();
    // Sends aD0! for the address (0-9) without locking any controls. It belongs to the same
    // exchange, page and time-out as the measurement it follows.
    void sendDataRequest(int address);
    // After a measurement: the data request goes after the pause before a data request.
    void requestDataAfterPause(int address);
    // After a measurement that announced a wait: the receiver waits for the service request
    // of MeasureAddress(); should none come within `milliseconds`, the data is asked for all
    // the same.
    void awaitServiceRequestWithin(int milliseconds);
    // The same, within the wait plus the command time-out.
    void awaitServiceRequest(int waitSeconds);
    // Ends a wait for a service request or the pause before a data request: the measurement
    // is given up and its exchange ends.
    void abandonMeasurement();

    // The transaction in flight, or the last one.
    const Transaction& transaction() const { return current_; }
    QString strSent_Command() const { return QString::fromLatin1(current_.request); }
    Code CommandMode() const { return current_.code; }
    // Every byte received since the last request was written (its echo, an answer, noise;
    // the first kMaxLine of them).
    const QByteArray& receivedSinceRequest() const { return received_; }
    // A request is out and its reply or time-out has not come yet.
    bool awaitingReply() const { return awaiting_; }
    // The exchange in flight goes on: a reply, a service request, a data request or a
    // follow-up request to come.
    bool followUpPending() const;

    // The bus is held (an exchange, a sequence) or requests wait for it. busFree() is
    // emitted when it is idle again.
    bool busy() const;
    // An exchange or a sequence holds the bus.
    bool held() const;
    // A sequence holds the bus.
    bool inSequence() const { return sequences_ > 0; }
    // A request of the page is in flight or waits for the bus.
    bool pageHasWork(int page) const;
    int queued() const { return queue_.size(); }

    // Holds the bus for a sequence; `quiet`: its replies do not beep.
    class Sequence {
    public:
        explicit Sequence(Link& link, bool quiet = false);
        ~Sequence();
        Sequence(const Sequence&) = delete;
        Sequence& operator=(const Sequence&) = delete;

    private:
        Link& link_;
        bool quiet_;
    };

    // The status of the last exchange a step waited for.
    qint16 replyStatus() const { return replyStatus_; }
    // Abandoned ends every wait for a reply (the window closes, a scan is cancelled): each
    // sequence waiting resumes at once with false, and nothing queued goes any more.
    void setReplyStatus(qint16 status);
    // A sequence is waiting for a step's end or for its turn.
    bool waiting() const { return !waiters_.empty(); }
    // While a person answers a question, sequences that wait for the bus stay queued (single
    // requests, such as a log's readings, go on); each call to holdSequences(true) is
    // matched by one to holdSequences(false).
    void holdSequences(bool hold);

    // Timings. A command time-out below 1 ms stands for the default 400 ms.
    const Timings& timings() const { return timings_; }
    void setTimings(const Timings& timings);
    void setCommandTimeout(int milliseconds);
    int commandTimeout() const;
    platform::OneShotTimer& TimeoutTimer() { return *timeoutTimer_; }
    // Milliseconds since an arbitrary start, on the link's clock.
    qint64 elapsedMs() const { return timers_.elapsedMs(); }

    // Receiver state.
    Framer::State ReceiveState() const { return framer_.state(); }
    void setReceiveState(Framer::State state);
    int MeasureAddress() const { return framer_.measureAddress(); }
    void setMeasureAddress(int address) { framer_.setMeasureAddress(address); }

    CommsLog& commsLog() { return commsLog_; }
    platform::SerialPort& port() { return port_; }
    // The system beep of the window's layer, or a recorder in tests; none by default.
    void setBeeper(std::function<void()> beep) { beep_ = std::move(beep); }
    void beep() const;
    // Whether the reply being handled beeps.
    bool replyBeeps() const { return current_.beep; }

Q_SIGNALS:
    void replyStatusChanged(qint16 status);
    // An exchange has ended with the status.
    void exchangeEnded(quint64 exchange, qint16 status);
    void busFree();
    // A request has waited for the bus longer than kWaitNoticeMs (true) or has gone (false).
    void waitingForBus(bool waiting);
    // The port's device failed while open; the transaction in flight has ended (Lost).
    void portLost();
    // A sequence has begun to hold the bus (true), or the last one has let it go (false).
    void sequenceRunning(bool running);
    // A request could not go out because the port is closed (not when it is being lost,
    // which portLost() says).
    void portClosed();

private:
    enum class Sending { Queue, Step, FollowUp };
    class Direct;

    struct Waiter {
        bool turn = false; // a turn on the bus, else a step's exchange
        quint64 id = 0;    // the exchange, or the turn's number
        std::coroutine_handle<> handle;
        bool ready = false; // to be resumed from the event loop
        int depth = 0;      // the sequences holding the bus when it began to wait
    };

    void start(Transaction transaction);
    void suspend(const Await& await, std::coroutine_handle<> handle);
    bool resumed(const Await& await);
    void scheduleResumes();
    void resumeReady();
    void resumeTurn(quint64 turn);
    // Starts the sequences the last reply asked for inside the sequence that holds the bus.
    void startFollowingSequences();
    BusQueue::Entry sequenceEntry(const QString& key, int page, std::function<void()> task) const;
    bool enqueue(BusQueue::Entry entry);
    // An entry has joined the queue: its notice, and its turn once the bus is free.
    void entryQueued();
    // "hh:mm:ss --- what not sent: why." in the comms monitor.
    void logNotSent(const QString& what, const QString& why);
    void drop(const BusQueue::Entry& entry, const QString& why);
    void scheduleQueue();
    void runQueue();
    void updateWaitNotice();
    void Comm1_OnComm();
    void onPortLost();
    // Ends the transaction in flight as one nothing will answer: its page unlocked.
    void endUnanswerable(qint16 status);
    void lineFramed(const QByteArray& line);
    void TimeoutTimer_Timer();
    void finish(quint64 exchange, qint16 status);
    // Sends the next request a reply's branch asked for, once nothing of its exchange is out.
    void sendNextFollowUp();
    void dropFollowUps(const QString& why);
    void notifyIfFree();
    void logLine(const QByteArray& text);
    void keep(quint8 b);
    // Starts the time-out of the request in flight, due `milliseconds` from now.
    void startTimeout(int milliseconds);
    // A byte arrived while a reply is awaited: the time-out runs from it, for as long as an
    // echo and a reply of the longest line could still be arriving.
    void extendTimeout();
    QString timeText() const;

    platform::SerialPort& port_;
    Transmitter transmitter_;
    platform::Clock clock_;
    platform::Timers& timers_;
    std::function<void()> beep_;
    LinkHandler* handler_ = nullptr;
    Framer framer_;
    CommsLog commsLog_;
    std::unique_ptr<platform::OneShotTimer> timeoutTimer_;
    MeasurementWait measurement_;
    std::unique_ptr<platform::OneShotTimer> waitNoticeTimer_;
    Timings timings_;
    Transaction current_;
    QByteArray received_;
    qint64 timeoutDue_ = 0; // elapsedMs() when the request in flight times out
    int arrivedBytes_ = 0;  // bytes read since it was written
    BusQueue queue_;
    // Requests a reply's branch asked for: they go one after another, after the branch has
    // returned, as later steps of the same exchange.
    std::deque<Transaction> followUps_;
    QHash<quint64, qint16> ended_; // the last exchanges' statuses, for the steps waiting
    Sending sending_ = Sending::Queue;
    quint64 followUpOf_ = 0;
    bool awaiting_ = false;
    bool queueScheduled_ = false;
    bool resumesScheduled_ = false;
    bool waitNoticeShown_ = false;
    bool taskStarting_ = false; // a queued sequence is being started by the queue
    int sequences_ = 0;
    int quiet_ = 0;
    int decoding_ = 0;
    std::vector<Waiter> waiters_;
    quint64 turns_ = 0;
    quint64 transactions_ = 0;
    quint64 exchanges_ = 0;
    quint64 abandons_ = 0;
    qint16 replyStatus_ = Waiting;
    Code dataRequestCode_ = Code::Data;
};

// What a sequence awaits: the end of one of its steps, or its turn on the bus.
class [[nodiscard]] Link::Await {
public:
    bool await_ready() const noexcept { return ready_; }
    void await_suspend(std::coroutine_handle<> handle) { link_->suspend(*this, handle); }
    bool await_resume() { return link_->resumed(*this); }

private:
    friend class Link;
    Await(Link& link, bool turn, quint64 id, bool ready)
        : link_(&link), turn_(turn), id_(id), ready_(ready), abandons_(link.abandons_) {}

    Link* link_;
    bool turn_;
    quint64 id_; // 0: nothing went out (a step) or no turn was given
    bool ready_;
    quint64 abandons_;
};

} // namespace sdilink
