#include "RealTimeScheduler.h"

#include <QSocketNotifier>
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>

namespace sim {

RealTimeScheduler::RealTimeScheduler(QObject* parent) : Scheduler(parent) {
    clock_.start(); // the monotonic clock, as the kernel timer's
    timerFd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (timerFd_ >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(timerFd_, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, &RealTimeScheduler::timerFired);
    }
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &RealTimeScheduler::runDue);
}

RealTimeScheduler::~RealTimeScheduler() {
    notifier_.reset();
    if (timerFd_ >= 0)
        ::close(timerFd_);
}

Micros RealTimeScheduler::now() const {
    return Micros{clock_.nsecsElapsed() / 1000};
}

void RealTimeScheduler::timerFired() {
    std::uint64_t expirations = 0;
    if (::read(timerFd_, &expirations, sizeof expirations) < 0) {
        // Nothing to read: not ours to act on.
    }
    runDue();
}

void RealTimeScheduler::pendingChanged() {
    const auto due = nextDue();
    const qint64 waitUs = due ? std::max<qint64>(0, (*due - now()).count()) : 0;
    if (timerFd_ >= 0) {
        itimerspec when{}; // all zero: disarmed
        if (due) {
            // At least a microsecond: a zero time would disarm it.
            const qint64 waitNs = std::max<qint64>(1'000, waitUs * 1'000);
            when.it_value.tv_sec = static_cast<time_t>(waitNs / 1'000'000'000);
            when.it_value.tv_nsec = static_cast<long>(waitNs % 1'000'000'000);
        }
        ::timerfd_settime(timerFd_, 0, &when, nullptr);
        return;
    }
    if (!due) {
        timer_.stop();
        return;
    }
    // Round up so a task never runs before its time.
    timer_.start(static_cast<int>((waitUs + 999) / 1000));
}

} // namespace sim
