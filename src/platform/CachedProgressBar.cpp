#include "CachedProgressBar.h"

#include <QEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QStyleOptionProgressBar>
#include <cmath>
#include <optional>

namespace platform {

namespace {

constexpr qsizetype kKeptMost = 64;
// The most pixels drawn to keep one drawing: the bar and what lies above and left of it in the
// window's image (the style's shading depends on where in the image it is drawn).
constexpr qint64 kDrawnMostPixels = 4'000'000;

// Where in the window's image the bar lies, for a bar that can be kept: in whole pixels of an
// image, on a plain, opaque background, not moving (a busy bar has no range).
std::optional<QPoint> keepableAt(const QProgressBar& bar, QPainter& painter) {
    const QPaintDevice* target =
        painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    const QBrush background = bar.palette().brush(bar.backgroundRole());
    if (bar.minimum() == bar.maximum() || background.style() != Qt::SolidPattern ||
        background.color().alpha() != 255 || !target || target->devType() != QInternal::Image)
        return std::nullopt;
    const QTransform toDevice = painter.deviceTransform();
    const qreal ratio = target->devicePixelRatio();
    const QPointF at(toDevice.dx(), toDevice.dy());
    const QPointF logical = at / ratio;
    if (toDevice.type() > QTransform::TxScale || toDevice.m11() != ratio ||
        toDevice.m22() != ratio || at.x() != std::trunc(at.x()) || at.y() != std::trunc(at.y()) ||
        logical.x() * ratio != at.x() || logical.y() * ratio != at.y() || at.x() < 0 ||
        at.y() < 0 ||
        (at.x() + bar.width() * ratio) * (at.y() + bar.height() * ratio) > kDrawnMostPixels)
        return std::nullopt;
    return at.toPoint();
}

// What the style's drawing of a bar depends on, besides its size and looks.
QString keyOf(QStyleOptionProgressBar option, const QImage& target, QPoint at) {
    // A window's being active only changes the colours the palette gives it, if any.
    if (option.palette.isEqual(QPalette::Active, QPalette::Inactive))
        option.state &= ~QStyle::State_Active;
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11 %12|%13")
        .arg(option.minimum)
        .arg(option.maximum)
        .arg(option.progress)
        .arg(static_cast<int>(option.state))
        .arg(option.textVisible ? 1 : 0)
        .arg(static_cast<int>(option.textAlignment))
        .arg((option.invertedAppearance ? 2 : 0) + (option.bottomToTop ? 1 : 0))
        .arg(static_cast<int>(option.direction))
        .arg(static_cast<int>(target.format()))
        .arg(target.devicePixelRatio())
        .arg(at.x())
        .arg(at.y())
        .arg(option.text);
}

} // namespace

CachedProgressBar::CachedProgressBar(QWidget* parent) : QProgressBar(parent) {
    setAutoFillBackground(true);
}

void CachedProgressBar::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const std::optional<QPoint> at = keepableAt(*this, painter);
    if (!at) {
        painter.end();
        ++styleDrawings_;
        QProgressBar::paintEvent(event);
        return;
    }
    const auto& image = *static_cast<const QImage*>(painter.paintEngine()->paintDevice());
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    const QString key = keyOf(option, image, *at);
    if (keptSize_ != size()) {
        kept_.clear();
        keptSize_ = size();
    }
    auto kept = kept_.constFind(key);
    if (kept == kept_.constEnd()) {
        if (kept_.size() >= kKeptMost)
            kept_.clear();
        kept = kept_.insert(key, drawnAlone(option, image, *at));
    }
    painter.drawImage(0, 0, *kept);
}

// The bar drawn as into its window, at the same place in an image like the window's: the
// background filled, then the style's drawing in a painter set up as a widget's.
QImage CachedProgressBar::drawnAlone(const QStyleOptionProgressBar& option, const QImage& like,
                                     QPoint at) {
    const qreal ratio = like.devicePixelRatio();
    const QSize size = this->size() * ratio;
    QImage drawn(at.x() + size.width(), at.y() + size.height(), like.format());
    drawn.setDevicePixelRatio(ratio);
    drawn.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    drawn.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    QPainter painter(&drawn);
    painter.translate(QPointF(at) / ratio);
    const QBrush background = palette().brush(backgroundRole());
    painter.fillRect(rect(), background);
    painter.setPen(palette().color(foregroundRole()));
    painter.setBrush(background);
    painter.setFont(font());
    painter.setLayoutDirection(layoutDirection());
    ++styleDrawings_;
    style()->drawControl(QStyle::CE_ProgressBar, &option, &painter, this);
    painter.end();
    QImage part = drawn.copy(QRect(at, size));
    part.setDevicePixelRatio(ratio);
    return part;
}

void CachedProgressBar::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::LocaleChange:
    case QEvent::LayoutDirectionChange:
        kept_.clear();
        break;
    default:
        break;
    }
    QProgressBar::changeEvent(event);
}

} // namespace platform
