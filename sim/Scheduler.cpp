#include "Scheduler.h"

namespace sim {

void Scheduler::at(Micros when, QObject* context, std::function<void()> task) {
    tasks_.emplace(std::pair{when, sequence_++},
                   Task{context, context != nullptr, std::move(task)});
    pendingChanged();
}

std::optional<Micros> Scheduler::nextDue() const {
    if (tasks_.empty())
        return std::nullopt;
    return tasks_.begin()->first.first;
}

void Scheduler::runDue() {
    while (!tasks_.empty() && tasks_.begin()->first.first <= now()) {
        Task task = std::move(tasks_.begin()->second);
        tasks_.erase(tasks_.begin());
        if (!task.hasContext || task.context)
            task.run();
    }
    pendingChanged();
}

} // namespace sim
