#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>

namespace platform {

// A timer that fires once, some milliseconds after it was started.
class OneShotTimer {
public:
    virtual ~OneShotTimer() = default;

    // Starts the timer, or starts it again from now when it is running.
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // The interval of the last start().
    virtual int interval() const = 0;

    // Called when the timer fires (it is then no longer active).
    std::function<void()> onTimeout;
};

// Where the link's timers and its sense of elapsed time come from: precise Qt timers and
// the monotonic clock in the program, a virtual clock in tests, so time-outs never race a
// loaded machine.
class Timers {
public:
    virtual ~Timers() = default;

    virtual std::unique_ptr<OneShotTimer> makeTimer() = 0;
    // Milliseconds on a clock that only moves forwards.
    virtual qint64 elapsedMs() const = 0;
};

// Precise Qt timers on the calling thread and the monotonic clock.
Timers& realTimers();

} // namespace platform
