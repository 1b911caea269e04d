#include "PaintPacer.h"

#include "Services.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QActionEvent>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeView>
#include <QWidget>
#include <algorithm>

namespace platform {

namespace {

// Outside a chain, a lock is drawn once it has lasted this long: a running log's reading
// (a rotary encoder's takes about 300 ms on the bus) is mostly over by then.
constexpr int kControlsHeldMs = 500;

// Controls whose own handling of an enable change is only to be drawn again. A button held
// down is released by being disabled, and a dropped-down list is closed: those are told at
// once.
bool onlyRedraws(const QWidget* w) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return !button->isDown() && qobject_cast<const QToolButton*>(w) == nullptr;
    // A scroll bar stops what the mouse holds on it when disabled.
    if (qobject_cast<const QScrollBar*>(w) != nullptr)
        return QApplication::mouseButtons() == Qt::NoButton;
    if (const auto* box = qobject_cast<const QGroupBox*>(w))
        return !box->isCheckable();
    const QMetaObject* type = w->metaObject();
    // Lists and tables leave an enable change to the frame, which draws itself again; a tree
    // view answers it with more.
    if (qobject_cast<const QAbstractItemView*>(w) != nullptr)
        return qobject_cast<const QTreeView*>(w) == nullptr;
    return qobject_cast<const QComboBox*>(w) != nullptr ||
           qobject_cast<const QLineEdit*>(w) != nullptr ||
           qobject_cast<const QLabel*>(w) != nullptr || type == &QWidget::staticMetaObject ||
           type == &QFrame::staticMetaObject;
}

} // namespace

PaintPacer::PaintPacer(QWidget* window, Timers& timers, std::function<bool()> holding,
                       int intervalMs, std::function<double()> processorMs)
    : window_(window), timer_(timers.makeTimer()), holding_(std::move(holding)),
      intervalMs_(intervalMs),
      processorMs_(processorMs ? std::move(processorMs) : std::function<double()>(processTimeMs)) {
    timer_->onTimeout = [this] { flush(); };
    // The window's requests to be drawn, and the enable changes of each of its controls.
    qApp->installEventFilter(this);
}

PaintPacer::~PaintPacer() {
    if (qApp != nullptr)
        qApp->removeEventFilter(this);
}

PaintPacer::MenuLook PaintPacer::lookOf(const QAction* action) {
    return {action->isEnabled(), action->isVisible(), action->text()};
}

bool PaintPacer::eventFilter(QObject* watched, QEvent* event) {
    if (flushing_)
        return false;
    switch (event->type()) {
    case QEvent::UpdateRequest:
        // Qt asks a window to draw its changed parts with one UpdateRequest; what changed
        // meanwhile is added to the same request, so holding it back draws the changes
        // together.
        if (watched != window_ || !holding_())
            return false;
        deferred_ = true;
        startTimer();
        return true;
    case QEvent::EnabledChange:
        return watched->isWidgetType() && holdEnabledChange(static_cast<QWidget*>(watched));
    case QEvent::ActionChanged:
        return holdMenuChange(watched, event);
    default:
        return false;
    }
}

void PaintPacer::holdControlsWhile(std::function<bool()> when) {
    holdingControls_ = std::move(when);
}

bool PaintPacer::holdingControls() const {
    return holding_() || (holdingControls_ && holdingControls_());
}

bool PaintPacer::holdEnabledChange(QWidget* widget) {
    if (widget->window() != window_ || !widget->isVisible() || !holdingControls() ||
        QApplication::activePopupWidget() != nullptr || !onlyRedraws(widget))
        return false;
    // The first change since the last drawing says what was drawn: the opposite of now.
    // (An entry whose control is gone belongs to an earlier control at the same address.)
    const auto held = heldControls_.constFind(widget);
    if (held == heldControls_.cend() || held->first.isNull())
        heldControls_.insert(widget, {widget, !widget->isEnabled()});
    startTimer();
    return true;
}

bool PaintPacer::holdMenuChange(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QMainWindow*>(window_);
    if (window == nullptr || watched != window->menuBar())
        return false;
    QAction* action = static_cast<QActionEvent*>(event)->action();
    if (action == nullptr)
        return false;
    const MenuLook now = lookOf(action);
    const auto told = toldMenus_.constFind(action);
    // Held back only when the menu bar knows the action and nothing but its state changed.
    if (told != toldMenus_.cend() && holdingControls() &&
        QApplication::activePopupWidget() == nullptr && told->second.visible == now.visible &&
        told->second.text == now.text) {
        startTimer();
        return true;
    }
    toldMenus_.insert(action, {action, now});
    return false;
}

int PaintPacer::intervalMs() const {
    const Spacing spacing = spacing_ ? spacing_() : Spacing{};
    const double stretched = lastDrawingMs_ * spacing.costTimes;
    return std::max(intervalMs_, static_cast<int>(std::min<double>(stretched, spacing.longestMs)));
}

void PaintPacer::startTimer() {
    if (!timer_->isActive())
        timer_->start(holding_() ? intervalMs() : std::max(intervalMs(), kControlsHeldMs));
}

void PaintPacer::deliverHeldChanges() {
    const auto controls = std::exchange(heldControls_, {});
    for (const auto& [widget, drawnEnabled] : controls) {
        if (widget.isNull() || widget->isEnabled() == drawnEnabled)
            continue;
        QEvent change(QEvent::EnabledChange);
        QCoreApplication::sendEvent(widget, &change);
    }
    auto* window = qobject_cast<QMainWindow*>(window_);
    bool redrawMenus = false;
    for (auto it = toldMenus_.begin(); it != toldMenus_.end();) {
        auto& [action, told] = it.value();
        if (action.isNull()) {
            it = toldMenus_.erase(it);
            continue;
        }
        if (lookOf(action) != told && window != nullptr) {
            told = lookOf(action);
            // Only the enable state was held back, and the menu bar reads it when it draws a
            // title; told of the change, it would measure every title again and take every
            // mnemonic again. A menu bar shown by the desktop keeps its own copy: it is told.
            if (window->menuBar()->isNativeMenuBar()) {
                QActionEvent change(QEvent::ActionChanged, action);
                QCoreApplication::sendEvent(window->menuBar(), &change);
            } else {
                redrawMenus = true;
            }
        }
        ++it;
    }
    if (redrawMenus)
        window->menuBar()->update();
}

void PaintPacer::flush() {
    timer_->stop();
    flushing_ = true;
    deliverHeldChanges();
    if (deferred_) {
        deferred_ = false;
        const double start = processorMs_();
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(window_, &request);
        lastDrawingMs_ = std::max(0.0, processorMs_() - start);
        ++drawings_;
        drawingMsTotal_ += lastDrawingMs_;
    }
    flushing_ = false;
}

} // namespace platform
