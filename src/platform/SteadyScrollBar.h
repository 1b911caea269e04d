#pragma once

#include <QScrollBar>
#include <QStyle>
#include <optional>

namespace platform {

// A scroll bar drawn again only when it would look different. A list of a million rows moves
// its slider by a millionth of its length for every row added; the slider stays on the same
// pixels, yet a plain scroll bar is drawn again for every change of its range or value, and
// with it whatever lies beneath it (the frames around the list). What the bar looks like is
// taken from the style's own description of it, with the range and the value as the places
// of its slider and whether the value is at either end; any other change of its state, its
// size or its colours draws it as before. A style whose bars fade in and out gets every
// drawing.
class SteadyScrollBar final : public QScrollBar {
public:
    explicit SteadyScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Look {
        QRect rect;
        QRect slider;
        QStyle::State state;
        QStyle::SubControls active;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        qint64 palette = 0;
        bool atMinimum = false;
        bool atMaximum = false;
        bool upsideDown = false;
        bool operator==(const Look&) const = default;
    };
    Look look() const;

    // What the bar shows, or will show at the drawing asked for.
    std::optional<Look> shown_;
};

} // namespace platform
