#include "RealTimeScheduler.h"

namespace sim {

RealTimeScheduler::RealTimeScheduler(QObject* parent) : Scheduler(parent) {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &RealTimeScheduler::runDue);
}

Micros RealTimeScheduler::now() const {
    return Micros{clock_.nsecsElapsed() / 1000};
}

void RealTimeScheduler::pendingChanged() {
    const auto due = nextDue();
    if (!due) {
        timer_.stop();
        return;
    }
    // Round up so a task never runs before its time.
    const qint64 waitUs = std::max<qint64>(0, (*due - now()).count());
    timer_.start(static_cast<int>((waitUs + 999) / 1000));
}

} // namespace sim
