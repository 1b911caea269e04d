#include "PaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace platform {

PaintPacer::PaintPacer(QWidget* window, Timers& timers, std::function<bool()> holding,
                       int intervalMs)
    : window_(window), timer_(timers.makeTimer()), holding_(std::move(holding)),
      intervalMs_(intervalMs) {
    timer_->onTimeout = [this] { flush(); };
    window_->installEventFilter(this);
}

PaintPacer::~PaintPacer() {
    window_->removeEventFilter(this);
}

bool PaintPacer::eventFilter(QObject* watched, QEvent* event) {
    // Qt asks a window to draw its changed parts with one UpdateRequest; what changed
    // meanwhile is added to the same request, so holding it back draws the changes together.
    if (flushing_ || watched != window_ || event->type() != QEvent::UpdateRequest || !holding_())
        return false;
    deferred_ = true;
    if (!timer_->isActive())
        timer_->start(intervalMs_);
    return true;
}

void PaintPacer::flush() {
    timer_->stop();
    if (!deferred_)
        return;
    deferred_ = false;
    flushing_ = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(window_, &request);
    flushing_ = false;
}

} // namespace platform
