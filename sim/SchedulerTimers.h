#pragma once

#include "Scheduler.h"
#include "core/platform/Timers.h"

namespace sim {

// The tool's timers on the simulated bus's clock: a time-out and the bus's answers are tasks
// on one clock, so with a manual clock a test runs every time-out in exact order with the
// bus and without waiting.
class SchedulerTimers final : public platform::Timers {
public:
    explicit SchedulerTimers(Scheduler& scheduler) : scheduler_(scheduler) {}

    std::unique_ptr<platform::OneShotTimer> makeTimer() override;
    qint64 elapsedMs() const override;

private:
    Scheduler& scheduler_;
};

} // namespace sim
