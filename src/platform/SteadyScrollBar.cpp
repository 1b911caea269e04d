#include "SteadyScrollBar.h"

#include <QStyleOptionSlider>

namespace platform {

SteadyScrollBar::SteadyScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {}

SteadyScrollBar::Look SteadyScrollBar::look() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    Look l;
    l.rect = option.rect;
    l.slider =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    l.state = option.state;
    l.active = option.activeSubControls;
    l.direction = option.direction;
    l.palette = option.palette.cacheKey();
    l.atMinimum = option.sliderPosition <= option.minimum;
    l.atMaximum = option.sliderPosition >= option.maximum;
    l.upsideDown = option.upsideDown;
    return l;
}

void SteadyScrollBar::sliderChange(SliderChange change) {
    if (style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this) == 0) {
        const Look now = look();
        if (shown_ == now)
            return;
        shown_ = now;
    }
    QScrollBar::sliderChange(change);
}

void SteadyScrollBar::paintEvent(QPaintEvent* event) {
    shown_ = look();
    QScrollBar::paintEvent(event);
}

} // namespace platform
