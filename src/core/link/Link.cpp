#include "Link.h"

#include "core/platform/SerialPort.h"
#include <QMetaObject>
#include <algorithm>
#include <utility>

namespace sdilink {

Q_LOGGING_CATEGORY(lcWire, "sdi12.wire", QtWarningMsg)

namespace {
constexpr int kDefaultCommandTimeout = 400;
// Statuses of ended exchanges kept for the steps that wait on them.
constexpr quint64 kEndedKept = 64;
} // namespace

// Sets how transmit() treats requests for as long as it lives: queued behind the bus's
// holder, as a sequence's step (a new exchange) or as a follow-up of the exchange given.
class Link::Direct {
public:
    Direct(Link& link, Sending sending, quint64 followUpOf)
        : link_(link), sending_(std::exchange(link.sending_, sending)),
          followUpOf_(std::exchange(link.followUpOf_, followUpOf)) {}
    ~Direct() {
        link_.sending_ = sending_;
        link_.followUpOf_ = followUpOf_;
    }
    Direct(const Direct&) = delete;
    Direct& operator=(const Direct&) = delete;

private:
    Link& link_;
    Sending sending_;
    quint64 followUpOf_;
};

Link::Link(platform::SerialPort& port, platform::Pause pause, platform::Clock clock,
           QObject* parent, platform::Timers& timers)
    : QObject(parent), port_(port), transmitter_(port, std::move(pause), this),
      clock_(std::move(clock)), timers_(timers), timeoutTimer_(timers.makeTimer()),
      measurement_(
          timers, [this](int address) { sendDataRequest(address); },
          [this] { return framer_.state() == Framer::State::AwaitingServiceRequest; }),
      waitNoticeTimer_(timers.makeTimer()) {
    timeoutTimer_->onTimeout = [this] { TimeoutTimer_Timer(); };
    waitNoticeTimer_->onTimeout = [this] { updateWaitNotice(); };
    // Queued, so that a reply arriving while a handler of this event has a box open raises
    // the event again.
    connect(&port_, &platform::SerialPort::dataArrived, this, &Link::Comm1_OnComm,
            Qt::QueuedConnection);
    connect(&port_, &platform::SerialPort::lost, this, &Link::onPortLost);
}

Link::~Link() = default;

QString Link::timeText() const {
    return platform::longTimeText(clock_().time());
}

void Link::beep() const {
    if (beep_)
        beep_();
}

void Link::setReplyStatus(qint16 status) {
    replyStatus_ = status;
    if (status == Abandoned) {
        // Every step waiting gives up, and nothing waiting for the bus goes any more.
        ++abandons_;
        queue_.clear();
        followUps_.clear();
        // The exchange in flight ends with them.
        if (followUpPending())
            endUnanswerable(Abandoned);
        updateWaitNotice();
        // Each sequence waiting ends now, while everything it refers to is still there.
        for (const Waiter& w : std::exchange(waiters_, {}))
            w.handle.resume();
    }
    Q_EMIT replyStatusChanged(status);
}

void Link::setTimings(const Timings& timings) {
    timings_ = timings;
}

void Link::setCommandTimeout(int milliseconds) {
    timings_.CommandTimeout = milliseconds;
}

int Link::commandTimeout() const {
    // No wait is without a bound: a time-out of 0 (never) stands for the default.
    return timings_.CommandTimeout > 0 ? timings_.CommandTimeout : kDefaultCommandTimeout;
}

bool Link::followUpPending() const {
    return awaiting_ || framer_.state() == Framer::State::AwaitingServiceRequest ||
           measurement_.pausing() || !followUps_.empty();
}

bool Link::held() const {
    return followUpPending() || sequences_ > 0 || decoding_ > 0;
}

bool Link::busy() const {
    return held() || queue_.ready();
}

void Link::notifyIfFree() {
    if (held())
        return;
    if (!queue_.empty())
        scheduleQueue();
    else
        Q_EMIT busFree();
}

Link::Sequence::Sequence(Link& link, bool quiet) : link_(link), quiet_(quiet) {
    if (link_.sequences_++ == 0)
        Q_EMIT link_.sequenceRunning(true);
    if (quiet_)
        ++link_.quiet_;
}

Link::Sequence::~Sequence() {
    if (quiet_)
        --link_.quiet_;
    if (--link_.sequences_ == 0)
        Q_EMIT link_.sequenceRunning(false);
    // A sequence that waited for this one inside it goes on.
    if (std::any_of(link_.waiters_.begin(), link_.waiters_.end(),
                    [](const Waiter& w) { return w.ready; }))
        link_.scheduleResumes();
    link_.notifyIfFree();
}

void Link::transmit(const Transaction& transaction) {
    if (sending_ == Sending::FollowUp && decoding_ > 0) {
        // No request starts inside a reply's branch: it goes once the branch has returned.
        followUps_.push_back(transaction);
        return;
    }
    if (sending_ == Sending::Queue && busy()) {
        enqueue({transaction, {}, {}, elapsedMs()});
        return;
    }
    start(transaction);
}

void Link::start(Transaction transaction) {
    if (sending_ == Sending::FollowUp) {
        transaction.exchange = followUpOf_;
    } else {
        if (followUpPending()) {
            // A step whose previous wait was abandoned: what is still out is given up.
            dropFollowUps(QStringLiteral("the exchange was given up"));
            transmitter_.giveUp();
            awaiting_ = false;
            timeoutTimer_->stop();
            measurement_.stop();
            setReceiveState(Framer::State::Idle);
            finish(current_.exchange, Abandoned);
        }
        transaction.exchange = ++exchanges_;
        if (sending_ == Sending::Step) {
            // Anything else the step sends belongs to the same exchange.
            sending_ = Sending::FollowUp;
            followUpOf_ = transaction.exchange;
        }
    }
    transaction.id = ++transactions_;
    if (quiet_ > 0)
        transaction.beep = false;
    current_ = std::move(transaction);
    send_TXbuff(current_.request);
}

void Link::send_TXbuff(const QByteArray& in_buff) {
    commsLog_.addSent(timeText() + QStringLiteral(" --> ") + QString::fromLatin1(in_buff));
    qCDebug(lcWire).noquote() << clock_().toString(Qt::ISODateWithMs) << "-->" << in_buff;
    awaiting_ = true;
    if (!port_.isOpen()) {
        // A request made as the port fails is covered by the loss's own message.
        if (!port_.lossPending())
            Q_EMIT portClosed();
        // Nothing went out, so nothing will answer: the transaction ends here.
        endUnanswerable(NotSent);
        notifyIfFree();
        return;
    }
    // Whatever is left from earlier exchanges goes before the request: an answer that comes
    // while the request is still being written is kept.
    FlushInput();
    received_.clear();
    arrivedBytes_ = 0;
    transmitter_.send(
        in_buff, timings_.BreakTiming, timings_.MarkTiming,
        [this] {
            if (awaiting_)
                startTimeout(commandTimeout() * std::max(1, current_.timeoutFactor) +
                             current_.sendingMs);
        },
        [this] {
            endUnanswerable(NotSent);
            notifyIfFree();
        });
}

void Link::startTimeout(int milliseconds) {
    timeoutTimer_->start(milliseconds);
    timeoutDue_ = elapsedMs() + milliseconds;
}

void Link::extendTimeout() {
    if (!awaiting_ || !timeoutTimer_->isActive() || ++arrivedBytes_ > 2 * Framer::kMaxLine)
        return;
    if (timeoutDue_ - elapsedMs() < commandTimeout())
        startTimeout(commandTimeout());
}

void Link::logLine(const QByteArray& text) {
    commsLog_.addReceived(timeText() + QStringLiteral(" <-- ") + QString::fromLatin1(text));
    qCDebug(lcWire).noquote() << clock_().toString(Qt::ISODateWithMs) << "<--" << text;
}

void Link::keep(quint8 b) {
    if (received_.size() < Framer::kMaxLine)
        received_.append(static_cast<char>(b));
}

void Link::FlushInput() {
    // Lines the discarded bytes end, or a line they leave unfinished, still reach the log.
    while (port_.bytesWaiting() > 0) {
        const quint8 b = port_.readByte();
        keep(b);
        if (framer_.logOnly(b))
            logLine(framer_.logText());
    }
    if (framer_.takeUnfinishedLog())
        logLine(framer_.logText());
    port_.clearInput();
    setReceiveState(Framer::State::Idle);
}

void Link::setReceiveState(Framer::State state) {
    const bool wasAwaitingService = framer_.state() == Framer::State::AwaitingServiceRequest;
    framer_.setState(state);
    port_.setCharacterByCharacter(state == Framer::State::AwaitingServiceRequest);
    if (state != Framer::State::AwaitingServiceRequest) {
        measurement_.stopAwaiting();
        if (wasAwaitingService)
            notifyIfFree();
    }
}

void Link::awaitServiceRequest(int waitSeconds) {
    awaitServiceRequestWithin(std::max(0, waitSeconds) * 1000 +
                              commandTimeout() * std::max(1, current_.timeoutFactor));
}

void Link::awaitServiceRequestWithin(int milliseconds) {
    setReceiveState(Framer::State::AwaitingServiceRequest);
    measurement_.awaitServiceRequest(framer_.measureAddress(), milliseconds);
}

void Link::requestDataAfterPause(int address) {
    measurement_.pauseBeforeData(address, timings_.DataTimeout);
}

void Link::abandonMeasurement() {
    if (framer_.state() != Framer::State::AwaitingServiceRequest && !measurement_.pausing())
        return;
    measurement_.stop();
    framer_.setState(Framer::State::Idle);
    port_.setCharacterByCharacter(false);
    dropFollowUps(QStringLiteral("the measurement was given up"));
    if (handler_)
        handler_->unlockPage(current_.page);
    finish(current_.exchange, Abandoned);
    notifyIfFree();
}

Link::Await Link::transact(const std::function<void()>& send) {
    replyStatus_ = Waiting;
    const quint64 before = exchanges_;
    {
        const Direct step(*this, Sending::Step, 0);
        send();
    }
    if (exchanges_ == before) {
        // Refused by the sender (a message box said why).
        replyStatus_ = NotSent;
        return Await(*this, false, 0, true);
    }
    return Await(*this, false, before + 1, ended_.contains(before + 1));
}

Link::Await Link::turn(const QString& key, int page) {
    if (!busy())
        return Await(*this, true, ++turns_, true);
    const quint64 turn = ++turns_;
    if (!enqueue(sequenceEntry(key, page, [this, turn] { resumeTurn(turn); })))
        return Await(*this, true, 0, true);
    return Await(*this, true, turn, false);
}

void Link::suspend(const Await& await, std::coroutine_handle<> handle) {
    waiters_.push_back({await.turn_, await.id_, handle, false, sequences_});
}

bool Link::resumed(const Await& await) {
    const bool abandoned = abandons_ != await.abandons_;
    if (await.turn_)
        return await.id_ != 0 && !abandoned;
    if (await.id_ == 0)
        return false; // nothing went out
    const qint16 status =
        abandoned ? qint16(Abandoned) : ended_.value(await.id_, qint16(Abandoned));
    replyStatus_ = status;
    if (status == TimedOut)
        FlushInput();
    return status == Handled;
}

void Link::scheduleResumes() {
    if (resumesScheduled_)
        return;
    resumesScheduled_ = true;
    // From the event loop: never inside the call that ended the exchange (the framer's).
    QMetaObject::invokeMethod(
        this,
        [this] {
            resumesScheduled_ = false;
            resumeReady();
        },
        Qt::QueuedConnection);
}

void Link::startFollowingSequences() {
    // A sequence a reply asked for (the re-read after a unit change) is part of the sequence
    // whose step that reply answered: it runs before that sequence goes on, so that what
    // the sequence reads next is what the sensor has after the change.
    while (sequences_ > 0 && !followUpPending()) {
        std::optional<BusQueue::Entry> next = queue_.takeFollowing();
        if (!next)
            break;
        updateWaitNotice();
        next->task();
    }
}

void Link::resumeReady() {
    startFollowingSequences();
    // Only the innermost sequence goes on; one that started another waits for its end.
    std::vector<std::coroutine_handle<>> ready;
    std::erase_if(waiters_, [this, &ready](const Waiter& w) {
        const bool now = w.ready && w.depth >= sequences_;
        if (now)
            ready.push_back(w.handle);
        return now;
    });
    for (const std::coroutine_handle<> h : ready)
        h.resume();
}

void Link::resumeTurn(quint64 turn) {
    // The queue runs this from the event loop: the sequence takes the bus at once.
    const auto w = std::find_if(waiters_.begin(), waiters_.end(),
                                [turn](const Waiter& x) { return x.turn && x.id == turn; });
    if (w == waiters_.end())
        return;
    const std::coroutine_handle<> handle = w->handle;
    waiters_.erase(w);
    handle.resume();
}

void Link::sendDataRequest(int address) {
    Transaction data = current_;
    data.request = QByteArray(1, static_cast<char>('0' + address)) + "D0!";
    data.code = dataRequestCode_;
    data.address = data.request[0];
    data.answer = Transaction::Answer::Address;
    const Direct followUp(*this, Sending::FollowUp, current_.exchange);
    transmit(data);
}

void Link::Comm1_OnComm() {
    framer_.buffer().Complete = false;
    while (port_.bytesWaiting() > 0) {
        const quint8 b = port_.readByte();
        keep(b);
        extendTimeout();
        const Framer::Step step = framer_.feed(b);
        if (step.logLine)
            logLine(framer_.logText());
        if (step.serviceRequest) {
            // The data request goes after the pause before a data request; the bus stays
            // held meanwhile.
            requestDataAfterPause(framer_.measureAddress());
        }
        if (step.lineComplete)
            lineFramed(framer_.buffer().Data);
    }
}

void Link::lineFramed(const QByteArray& line) {
    // A late answer, a stray service request or noise is in the comms log and nothing more:
    // the time-out of the transaction in flight goes on.
    // Nothing answers a request before it is written.
    const qsizetype start = awaiting_ && !transmitter_.writing() ? replyStart(current_, line) : -1;
    if (start < 0)
        return;
    timeoutTimer_->stop();
    awaiting_ = false;
    const Transaction answered = current_;
    if (handler_) {
        // What the decoder sends now (a data request, a re-read) is the same exchange's.
        ++decoding_;
        const Direct followUps(*this, Sending::FollowUp, answered.exchange);
        handler_->Decode_SDI12(answered, line.mid(start));
        --decoding_;
    }
    sendNextFollowUp();
    // Every reply ends its exchange, unless its branch has sent something that goes on.
    if (!(followUpPending() && current_.exchange == answered.exchange))
        finish(answered.exchange, Handled);
    notifyIfFree();
}

void Link::finish(quint64 exchange, qint16 status) {
    if (ended_.contains(exchange))
        return;
    ended_.insert(exchange, status);
    if (exchanges_ > kEndedKept)
        ended_.removeIf(
            [floor = exchanges_ - kEndedKept](const auto& e) { return e.key() < floor; });
    replyStatus_ = status;
    bool waited = false;
    for (Waiter& w : waiters_)
        if (!w.turn && w.id == exchange)
            waited = w.ready = true;
    if (waited)
        scheduleResumes();
    Q_EMIT exchangeEnded(exchange, status);
}

void Link::sendNextFollowUp() {
    if (followUps_.empty() || awaiting_ ||
        framer_.state() == Framer::State::AwaitingServiceRequest || measurement_.pausing())
        return;
    Transaction next = std::move(followUps_.front());
    followUps_.pop_front();
    const Direct followUp(*this, Sending::FollowUp, current_.exchange);
    start(std::move(next));
}

void Link::dropFollowUps(const QString& why) {
    for (const Transaction& t : std::exchange(followUps_, {}))
        logNotSent(QString::fromLatin1(t.request), why);
}

void Link::endUnanswerable(qint16 status) {
    transmitter_.giveUp(); // a request still in its break or mark is not written
    dropFollowUps(QStringLiteral("the exchange ended without an answer"));
    awaiting_ = false;
    timeoutTimer_->stop();
    measurement_.stop();
    FlushInput();
    if (handler_)
        handler_->unlockPage(current_.page);
    finish(current_.exchange, status);
}

void Link::onPortLost() {
    // Whatever was out will not be answered; it may have reached the sensor.
    if (followUpPending())
        endUnanswerable(Lost);
    Q_EMIT portLost();
    notifyIfFree();
}

void Link::TimeoutTimer_Timer() {
    dropFollowUps(QStringLiteral("no answer came in time"));
    awaiting_ = false;
    FlushInput();
    if (handler_)
        handler_->unlockPage(current_.page);
    finish(current_.exchange, TimedOut);
    notifyIfFree();
}

} // namespace sdilink
