#pragma once

#include "Timing.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace sim {

// The clock and timer of the simulated bus. Everything the bus does later (echo, replies,
// service requests) is a task scheduled here, so tests can swap real time for a clock they
// move themselves.
//
// A task never runs inside the call that schedules it, only later from the event loop (or
// from a manual clock's advance). Tasks due at the same time run in the order they were
// scheduled. A task whose context object has been destroyed is dropped.
class Scheduler : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Scheduler() override = default;

    virtual Micros now() const = 0;

    void at(Micros when, QObject* context, std::function<void()> task);
    void after(Micros delay, QObject* context, std::function<void()> task) {
        at(now() + delay, context, std::move(task));
    }

    bool hasPending() const { return !tasks_.empty(); }
    std::optional<Micros> nextDue() const;

protected:
    // Runs, in order, every task due at now(), including tasks those tasks schedule for now.
    void runDue();
    // The earliest due time may have changed (a task was added or tasks ran).
    virtual void pendingChanged() = 0;

private:
    struct Task {
        QPointer<QObject> context;
        bool hasContext = false;
        std::function<void()> run;
    };
    std::map<std::pair<Micros, quint64>, Task> tasks_;
    quint64 sequence_ = 0;
};

} // namespace sim
