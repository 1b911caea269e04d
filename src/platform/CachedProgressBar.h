#pragma once

#include <QHash>
#include <QImage>
#include <QProgressBar>

class QStyleOptionProgressBar;

namespace platform {

// A progress bar that keeps what it drew for each value and shows it again: the same pixels,
// without the style's work (Fusion's rounded, shaded bar costs close to a million instructions
// a time). It fills its background with its palette's window colour, as its window does, and
// each drawing is made at the bar's place in an image like the window's, so that it is the
// drawing the style would make there. A bar without a plain, opaque background, a busy bar
// (no range), or one between a device's pixels or drawn other than into an image is drawn by
// the style every time.
class CachedProgressBar final : public QProgressBar {
public:
    explicit CachedProgressBar(QWidget* parent = nullptr);

    // How many times the style has drawn the bar.
    int styleDrawings() const { return styleDrawings_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QImage drawnAlone(const QStyleOptionProgressBar& option, const QImage& like, QPoint at);

    QHash<QString, QImage> kept_; // by value, text and state, at the current size and looks
    QSize keptSize_;
    int styleDrawings_ = 0;
};

} // namespace platform
