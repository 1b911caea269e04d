#pragma once

#include "Timers.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QWidget;

namespace platform {

// Draws a window at most once per interval while a long chain of requests runs (a scan, a
// re-query, a calibration step list). Around every request the lock rules disable and enable
// the page's controls and the comms monitor and sensor list take new lines; drawn after each
// request that is most of the tool's processor time during a scan. Held back, the window is
// drawn once per interval with everything that changed since. Only drawing waits: enable
// states, texts and input are as they would be, and a window uncovered is drawn at once.
//
// A control the lock rules disable and enable again between two drawings looks as it did,
// so it is not drawn again at all: while the chain runs, a control's notice of a changed
// enable state is held back too (for the kinds of control whose only answer to it is to be
// drawn again, and not while the mouse holds a button down or a list is dropped down), and
// at the next drawing it is given only to the controls whose state differs from the one
// last drawn. The menu bar's menus are treated alike.
//
// A drawing that costs more than a two-hundredth of the interval stretches the interval to
// the next one, up to a second: while a chain runs, drawing the window takes at most half a
// percent of the processor, on a slow machine as on a fast one (setSpacing changes both).
class PaintPacer final : public QObject {
public:
    // processorMs: the processor time this process has used so far, all threads (Qt fills
    // tall areas on its pool's), in milliseconds; empty means platform::processTimeMs.
    PaintPacer(QWidget* window, Timers& timers, std::function<bool()> holding, int intervalMs,
               std::function<double()> processorMs = {});
    ~PaintPacer() override;

    // Draws what was held back now (the chain has ended).
    void flush();

    // While `when` says so, the controls' enable changes (and the menus') are held back as in
    // a chain, but the window is drawn as usual: a page locked and unlocked again within half
    // a second (or the interval, if longer) is not drawn at all, and one locked for longer is
    // drawn locked then. flush() ends such a hold too.
    void holdControlsWhile(std::function<bool()> when);

    // The time until the next drawing while a chain runs.
    int intervalMs() const;
    // While a chain runs, drawings are spaced `costTimes` times what the last one cost apart,
    // between the interval and `longestMs`. The defaults, 200 and a second, give drawing half
    // a percent of the processor and draw the window at least once a second.
    struct Spacing {
        double costTimes = 200;
        int longestMs = 1000;
    };
    // The spacing to use, asked each time the next drawing is timed; empty means the defaults.
    void setSpacing(std::function<Spacing()> spacing) { spacing_ = std::move(spacing); }

    // The drawings this pacer has made (those it held back, drawn at once), and the
    // processor time they took in all.
    int drawings() const { return drawings_; }
    double drawingMs() const { return drawingMsTotal_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool holdingControls() const;
    bool holdEnabledChange(QWidget* widget);
    bool holdMenuChange(QObject* watched, QEvent* event);
    void startTimer();
    void deliverHeldChanges();

    struct MenuLook {
        bool enabled = false;
        bool visible = false;
        QString text;
        bool operator==(const MenuLook&) const = default;
    };
    static MenuLook lookOf(const QAction* action);

    QWidget* window_;
    std::unique_ptr<OneShotTimer> timer_;
    std::function<bool()> holding_;
    std::function<bool()> holdingControls_;
    int intervalMs_;
    std::function<double()> processorMs_;
    std::function<Spacing()> spacing_;
    double lastDrawingMs_ = 0; // processor time of the last drawing
    int drawings_ = 0;
    double drawingMsTotal_ = 0;
    bool deferred_ = false;
    bool flushing_ = false;
    // Controls whose enable change was held back, with the state they were last drawn in.
    QHash<QWidget*, std::pair<QPointer<QWidget>, bool>> heldControls_;
    // The menu bar's actions as it was last told of them.
    QHash<QAction*, std::pair<QPointer<QAction>, MenuLook>> toldMenus_;
};

} // namespace platform
