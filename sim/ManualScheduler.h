#pragma once

#include "Scheduler.h"

#include <QTimer>

namespace sim {

// A clock that stands still until it is moved, for tests: no real waiting, every time
// exact. advanceTo() runs the tasks that fall due on the way, each at its own time.
//
// With auto-advance on, the clock jumps to the next due task from the event loop whenever
// tasks are pending, so a program under test runs as if time flew.
class ManualScheduler final : public Scheduler {
    Q_OBJECT
public:
    explicit ManualScheduler(QObject* parent = nullptr);

    Micros now() const override { return now_; }

    void advanceTo(Micros time);
    void advanceBy(Micros delta) { advanceTo(now_ + delta); }
    // Runs every pending task, moving the clock as far as needed but not beyond limit.
    void runUntilIdle(Micros limit = Micros{3'600'000'000});

    void setAutoAdvance(bool on);
    bool autoAdvance() const { return autoAdvance_; }

protected:
    void pendingChanged() override;

private:
    void jumpToNext();

    Micros now_{0};
    bool autoAdvance_ = false;
    QTimer autoTimer_;
};

} // namespace sim
