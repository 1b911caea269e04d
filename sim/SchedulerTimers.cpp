#include "SchedulerTimers.h"

namespace sim {

namespace {

class SchedulerTimer final : public platform::OneShotTimer {
public:
    explicit SchedulerTimer(Scheduler& scheduler) : scheduler_(scheduler) {}

    void start(int milliseconds) override {
        interval_ = std::max(0, milliseconds);
        const quint64 run = ++generation_;
        active_ = true;
        // A stopped or restarted timer leaves its task behind; the task then does nothing.
        scheduler_.after(sim::milliseconds(interval_), &context_, [this, run] {
            if (run != generation_ || !active_)
                return;
            active_ = false;
            if (onTimeout)
                onTimeout();
        });
    }
    void stop() override {
        ++generation_;
        active_ = false;
    }
    bool isActive() const override { return active_; }
    int interval() const override { return interval_; }

private:
    Scheduler& scheduler_;
    QObject context_; // drops the pending task when the timer goes
    quint64 generation_ = 0;
    bool active_ = false;
    int interval_ = 0;
};

} // namespace

std::unique_ptr<platform::OneShotTimer> SchedulerTimers::makeTimer() {
    return std::make_unique<SchedulerTimer>(scheduler_);
}

qint64 SchedulerTimers::elapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(scheduler_.now()).count();
}

} // namespace sim
