#include "Timers.h"

#include <QElapsedTimer>
#include <QTimer>

namespace platform {

namespace {

class QtOneShotTimer final : public OneShotTimer {
public:
    QtOneShotTimer() {
        // A coarse timer may end a 400 ms time-out 20 ms early, cutting a slow sensor off,
        // or as much later, which a scan of silent addresses pays every time.
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (onTimeout)
                onTimeout();
        });
    }

    void start(int milliseconds) override { timer_.start(std::max(0, milliseconds)); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }
    int interval() const override { return timer_.interval(); }

private:
    QTimer timer_;
};

class QtTimers final : public Timers {
public:
    QtTimers() { clock_.start(); }
    std::unique_ptr<OneShotTimer> makeTimer() override {
        return std::make_unique<QtOneShotTimer>();
    }
    qint64 elapsedMs() const override { return clock_.elapsed(); }

private:
    QElapsedTimer clock_;
};

} // namespace

Timers& realTimers() {
    static QtTimers timers;
    return timers;
}

} // namespace platform
