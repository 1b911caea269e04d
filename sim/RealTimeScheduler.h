#pragma once

#include "Scheduler.h"

#include <QElapsedTimer>
#include <QTimer>

namespace sim {

// Runs tasks at their time on the monotonic clock, from the event loop of the thread that
// owns it. Tasks never run early; a task runs at most about a millisecond late plus whatever
// the event loop is busy with.
class RealTimeScheduler final : public Scheduler {
    Q_OBJECT
public:
    explicit RealTimeScheduler(QObject* parent = nullptr);

    Micros now() const override;

protected:
    void pendingChanged() override;

private:
    QElapsedTimer clock_;
    QTimer timer_;
};

} // namespace sim
