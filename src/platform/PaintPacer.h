#pragma once

#include "Timers.h"

#include <QObject>
#include <functional>
#include <memory>

class QWidget;

namespace platform {

// Draws a window at most once per interval while a long chain of requests runs (a scan, a
// re-query, a calibration step list). Around every request the lock rules disable and enable
// the page's controls and the comms monitor and sensor list take new lines; drawn after each
// request that is most of the tool's processor time during a scan. Held back, the window is
// drawn once per interval with everything that changed since. Only drawing waits: enable
// states, texts and input are as they would be, and a window uncovered is drawn at once.
class PaintPacer final : public QObject {
public:
    PaintPacer(QWidget* window, Timers& timers, std::function<bool()> holding, int intervalMs);
    ~PaintPacer() override;

    // Draws what was held back now (the chain has ended).
    void flush();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::unique_ptr<OneShotTimer> timer_;
    std::function<bool()> holding_;
    int intervalMs_;
    bool deferred_ = false;
    bool flushing_ = false;
};

} // namespace platform
