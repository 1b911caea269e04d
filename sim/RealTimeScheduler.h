#pragma once

#include "Scheduler.h"

#include <QElapsedTimer>
#include <QTimer>
#include <memory>

class QSocketNotifier;

namespace sim {

// Runs tasks at their time on the monotonic clock, from the event loop of the thread that
// owns it. Tasks never run early. A kernel timer set to the microsecond lets each character
// leave when its last bit would on a real line, late only by whatever the event loop is busy
// with; where no such timer can be had, a millisecond timer stands in.
class RealTimeScheduler final : public Scheduler {
    Q_OBJECT
public:
    explicit RealTimeScheduler(QObject* parent = nullptr);
    ~RealTimeScheduler() override;

    Micros now() const override;

protected:
    void pendingChanged() override;

private:
    void timerFired();

    QElapsedTimer clock_;
    int timerFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer timer_; // without the kernel timer
};

} // namespace sim
