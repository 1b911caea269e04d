#include "Link.h"

#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include <QApplication>
#include <QEventLoop>
#include <utility>

namespace sdilink {

Q_LOGGING_CATEGORY(lcWire, "sdi12.wire", QtWarningMsg)

Link::Link(platform::SerialPort& port, platform::Dialogs& dialogs, platform::Sleeper sleep,
           platform::Clock clock, QObject* parent, platform::Timers& timers)
    : QObject(parent), port_(port), dialogs_(dialogs), sleep_(std::move(sleep)),
      clock_(std::move(clock)), timers_(timers), beep_([] { QApplication::beep(); }),
      timeoutTimer_(timers.makeTimer()), serviceRequestTimer_(timers.makeTimer()) {
    timeoutTimer_->onTimeout = [this] { TimeoutTimer_Timer(); };
    serviceRequestTimer_->onTimeout = [this] {
        if (framer_.state() == 1)
            sendDataRequest(framer_.measureAddress());
    };
    // Queued, so that a reply arriving while a handler of this event waits in a nested loop
    // (a sequence started by the decoder) raises the event again.
    connect(&port_, &platform::SerialPort::dataArrived, this, &Link::Comm1_OnComm,
            Qt::QueuedConnection);
    connect(&port_, &platform::SerialPort::lost, this, &Link::onPortLost);
}

void Link::endUnanswerable() {
    awaiting_ = false;
    timeoutTimer_->stop();
    FlushInput();
    setReplyStatus(NotSent);
    if (handler_)
        handler_->unlockPage(current_.page);
    unlockSuperseded();
}

void Link::onPortLost() {
    // Whatever was out will not be answered.
    if (awaiting_ || framer_.state() == 1)
        endUnanswerable();
    Q_EMIT portLost();
    notifyIfFree();
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
    Q_EMIT replyStatusChanged(status);
}

void Link::setTimings(const Timings& timings) {
    timings_ = timings;
}

void Link::setCommandTimeout(int milliseconds) {
    timings_.CommandTimeout = milliseconds;
}

bool Link::busy() const {
    return awaiting_ || framer_.state() == 1 || sequences_ > 0;
}

void Link::notifyIfFree() {
    if (!busy())
        Q_EMIT busFree();
}

Link::Sequence::Sequence(Link& link) : link_(link) {
    ++link_.sequences_;
}

Link::Sequence::~Sequence() {
    --link_.sequences_;
    link_.notifyIfFree();
}

void Link::transmit(const Transaction& transaction) {
    // A request sent while another is still out (a click on another page) replaces it; the
    // page of the one replaced must not stay locked for good.
    if ((awaiting_ || framer_.state() == 1) && current_.page != transaction.page &&
        !superseded_.contains(current_.page))
        superseded_.append(current_.page);
    current_ = transaction;
    send_TXbuff(transaction.request);
}

void Link::send_TXbuff(const QByteArray& in_buff) {
    ++transmitted_;
    commsLog_.addSent(timeText() + QStringLiteral(" --> ") + QString::fromLatin1(in_buff));
    qCDebug(lcWire).noquote() << clock_().toString(Qt::ISODateWithMs) << "-->" << in_buff;
    if (!port_.isOpen()) {
        // One box at a time: requests made while it is shown (a log's ticks) add none; nor
        // does a request made as the port fails, which the loss's own message covers.
        if (!closedPortBoxShown_ && !port_.lossPending()) {
            closedPortBoxShown_ = true;
            dialogs_.messageBox(QStringLiteral("Connection."),
                                QStringLiteral("Unable to connect to comm port."),
                                platform::Dialogs::Icon::Exclamation);
            closedPortBoxShown_ = false;
        }
        // Nothing went out, so nothing will answer: the transaction ends here.
        endUnanswerable();
        notifyIfFree();
        return;
    }
    port_.setBreak(true);
    sleep_(timings_.BreakTiming);
    port_.setBreak(false);
    sleep_(timings_.MarkTiming);
    port_.write(in_buff);
    awaiting_ = true;
    // A time-out of 0 never fires.
    if (timings_.CommandTimeout > 0)
        timeoutTimer_->start(timings_.CommandTimeout * std::max(1, current_.timeoutFactor) +
                             current_.sendingMs);
    else
        timeoutTimer_->stop();
    FlushInput();
}

void Link::FlushInput() {
    port_.clearInput();
    setReceiveState(0);
}

void Link::setReceiveState(quint8 state) {
    const bool wasAwaitingService = framer_.state() == 1;
    framer_.setState(state);
    port_.setCharacterByCharacter(state == 1);
    if (state != 1) {
        serviceRequestTimer_->stop();
        if (wasAwaitingService)
            notifyIfFree();
    }
}

void Link::awaitServiceRequest(int waitSeconds) {
    awaitServiceRequestWithin(std::max(0, waitSeconds) * 1000 +
                              std::max(0, timings_.CommandTimeout) *
                                  std::max(1, current_.timeoutFactor));
}

void Link::awaitServiceRequestWithin(int milliseconds) {
    setReceiveState(1);
    serviceRequestTimer_->start(std::max(0, milliseconds));
}

bool Link::WaitForReply() {
    if (replyStatus_ == Waiting) {
        QEventLoop loop;
        connect(this, &Link::replyStatusChanged, &loop, [&loop](qint16 status) {
            if (status != Waiting)
                loop.quit();
        });
        loop.exec();
    }
    switch (replyStatus_) {
    case Handled:
        return true;
    case TimedOut:
        FlushInput();
        return false;
    default:
        return false;
    }
}

bool Link::transact(const std::function<void()>& send) {
    setReplyStatus(Waiting);
    const quint64 before = transmitted_;
    send();
    if (transmitted_ == before) {
        // Refused by the sender (a message box said why).
        setReplyStatus(NotSent);
        return false;
    }
    return WaitForReply();
}

void Link::sendDataRequest(int address) {
    Transaction data = current_;
    data.request = QByteArray(1, static_cast<char>('0' + address)) + "D0!";
    data.code = dataRequestCode_;
    data.address = data.request[0];
    data.answer = Transaction::Answer::Address;
    transmit(data);
}

void Link::Comm1_OnComm() {
    framer_.buffer().Complete = false;
    while (port_.bytesWaiting() > 0) {
        const quint8 b = port_.readByte();
        const Framer::Step step = framer_.feed(b);
        if (step.logLine) {
            commsLog_.addReceived(timeText() + QStringLiteral(" <-- ") +
                                  QString::fromLatin1(framer_.logText()));
            qCDebug(lcWire).noquote()
                << clock_().toString(Qt::ISODateWithMs) << "<--" << framer_.logText();
        }
        if (step.serviceRequest) {
            serviceRequestTimer_->stop();
            sleep_(timings_.DataTimeout);
            sendDataRequest(framer_.measureAddress());
        }
        if (step.lineComplete)
            lineFramed(framer_.buffer().Data);
    }
}

void Link::lineFramed(const QByteArray& line) {
    // A late answer, a stray service request or noise is in the comms log and nothing more:
    // the time-out of the transaction in flight goes on.
    const qsizetype start = awaiting_ ? replyStart(current_, line) : -1;
    if (start < 0)
        return;
    timeoutTimer_->stop();
    awaiting_ = false;
    const Transaction answered = current_;
    if (handler_)
        handler_->Decode_SDI12(answered, line.mid(start));
    // Every reply ends its transaction, also one whose branch leaves the status alone, so a
    // sequence waiting on it goes on.
    if (!awaiting_ && framer_.state() != 1) {
        if (replyStatus_ == Waiting)
            setReplyStatus(Handled);
        unlockSuperseded();
    }
    notifyIfFree();
}

void Link::unlockSuperseded() {
    const QList<int> pages = std::exchange(superseded_, {});
    for (int page : pages)
        if (page != current_.page && handler_)
            handler_->unlockPage(page);
}

void Link::TimeoutTimer_Timer() {
    awaiting_ = false;
    setReplyStatus(TimedOut);
    FlushInput();
    if (handler_)
        handler_->unlockPage(current_.page);
    unlockSuperseded();
    notifyIfFree();
}

} // namespace sdilink
