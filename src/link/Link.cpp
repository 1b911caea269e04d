#include "Link.h"

#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include <QApplication>
#include <QEventLoop>

namespace sdilink {

Link::Link(platform::SerialPort& port, platform::Dialogs& dialogs, platform::Sleeper sleep,
           platform::Clock clock, QObject* parent)
    : QObject(parent), port_(port), dialogs_(dialogs), sleep_(std::move(sleep)),
      clock_(std::move(clock)), beep_([] { QApplication::beep(); }) {
    // Precise timers: a coarse one may end a 400 ms time-out 20 ms early, cutting a slow
    // sensor off, or as much later, which a scan of silent addresses pays every time.
    timeoutTimer_.setSingleShot(true);
    timeoutTimer_.setTimerType(Qt::PreciseTimer);
    timeoutTimer_.setInterval(timings_.CommandTimeout);
    connect(&timeoutTimer_, &QTimer::timeout, this, &Link::TimeoutTimer_Timer);
    serviceRequestTimer_.setSingleShot(true);
    serviceRequestTimer_.setTimerType(Qt::PreciseTimer);
    connect(&serviceRequestTimer_, &QTimer::timeout, this, [this] {
        if (framer_.state() == 1)
            sendDataRequest(framer_.measureAddress());
    });
    // Queued, so that a reply arriving while a handler of this event waits in a nested loop
    // (a sequence started by the decoder) raises the event again.
    connect(&port_, &platform::SerialPort::dataArrived, this, &Link::Comm1_OnComm,
            Qt::QueuedConnection);
}

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
    setCommandTimeout(timings.CommandTimeout);
}

void Link::setCommandTimeout(int milliseconds) {
    timings_.CommandTimeout = milliseconds;
    timeoutTimer_.setInterval(std::max(0, milliseconds));
}

void Link::send_TXbuff(const QByteArray& in_buff) {
    commsLog_.addSent(timeText() + QStringLiteral(" --> ") + QString::fromLatin1(in_buff));
    if (port_.isOpen()) {
        port_.setBreak(true);
        sleep_(timings_.BreakTiming);
        port_.setBreak(false);
        sleep_(timings_.MarkTiming);
        port_.write(in_buff);
        // A time-out of 0 never fires.
        if (timings_.CommandTimeout > 0)
            timeoutTimer_.start();
    } else {
        dialogs_.messageBox(QStringLiteral("Connection."),
                            QStringLiteral("Unable to connect to comm port."),
                            platform::Dialogs::Icon::Exclamation);
    }
    FlushInput();
}

void Link::FlushInput() {
    while (port_.bytesWaiting() > 0)
        port_.readByte();
    setReceiveState(0);
}

void Link::setReceiveState(quint8 state) {
    framer_.setState(state);
    if (state != 1)
        serviceRequestTimer_.stop();
}

void Link::awaitServiceRequest(int waitSeconds) {
    setReceiveState(1);
    serviceRequestTimer_.start(std::max(0, waitSeconds) * 1000 +
                               std::max(0, timings_.CommandTimeout));
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

void Link::transmit(const QByteArray& request, qint16 code) {
    strSent_Command = QString::fromLatin1(request);
    CommandMode = code;
    send_TXbuff(request);
}

void Link::sendDataRequest(int address) {
    QByteArray request;
    request.append(static_cast<char>('0' + address));
    request.append("D0!");
    transmit(request, dataRequestCode_);
}

void Link::Comm1_OnComm() {
    framer_.buffer().Complete = false;
    while (port_.bytesWaiting() > 0) {
        const quint8 b = port_.readByte();
        const Framer::Step step = framer_.feed(b);
        if (step.logLine)
            commsLog_.addReceived(timeText() + QStringLiteral(" <-- ") +
                                  QString::fromLatin1(framer_.logText()));
        if (step.serviceRequest) {
            sleep_(timings_.DataTimeout);
            sendDataRequest(framer_.measureAddress());
        }
        if (step.lineComplete) {
            timeoutTimer_.stop();
            if (handler_)
                handler_->Decode_SDI12(framer_.buffer());
        }
    }
}

void Link::TimeoutTimer_Timer() {
    setReplyStatus(TimedOut);
    timeoutTimer_.stop();
    FlushInput();
    if (handler_)
        handler_->unlockShownPage();
}

} // namespace sdilink
