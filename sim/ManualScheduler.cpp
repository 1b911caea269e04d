#include "ManualScheduler.h"

namespace sim {

ManualScheduler::ManualScheduler(QObject* parent) : Scheduler(parent) {
    autoTimer_.setSingleShot(true);
    autoTimer_.setInterval(0);
    connect(&autoTimer_, &QTimer::timeout, this, &ManualScheduler::jumpToNext);
}

void ManualScheduler::advanceTo(Micros time) {
    for (auto due = nextDue(); due && *due <= time; due = nextDue()) {
        now_ = std::max(now_, *due);
        runDue();
    }
    now_ = std::max(now_, time);
}

void ManualScheduler::runUntilIdle(Micros limit) {
    for (auto due = nextDue(); due && *due <= limit; due = nextDue())
        advanceTo(*due);
}

void ManualScheduler::setAutoAdvance(bool on) {
    autoAdvance_ = on;
    pendingChanged();
}

void ManualScheduler::pendingChanged() {
    if (autoAdvance_ && hasPending() && !autoTimer_.isActive())
        autoTimer_.start();
}

void ManualScheduler::jumpToNext() {
    if (const auto due = nextDue())
        advanceTo(*due);
}

} // namespace sim
