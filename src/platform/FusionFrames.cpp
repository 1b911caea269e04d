#include "FusionFrames.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// Fusion's group-box frame: an image whose outer 6 pixels are the border, its middle stretched.
const QString kFrameImage = QStringLiteral(":/qt-project.org/styles/commonstyle/images/"
                                           "fusion_groupbox.png");
constexpr int kBorder = 6;
// Fusion's space above the frame, below the title's line.
constexpr int kTopMargin = 3;

// Qt's raster engine hands a fill of 96 spans or more (a span: a run of pixels in one row) to
// its thread pool in pieces of 64 and waits for them. For a thin, tall shape, the edge of a
// frame or a scroll bar, the hand-overs cost several times what its pixels do; drawn in bands
// of fewer rows, it stays on the drawing thread. A band has room for two spans a row (an
// outline's two sides, or a fill cut by the region being drawn). The same pixels either way.
constexpr int kBandRows = 45;

// The logical rows of a band drawn with a painter of this device transform: whole rows of at
// most kBandRows device rows, each band starting on a device pixel. 0 where the transform
// does not allow it (rotated, sheared, scaled by a fraction or placed between pixels).
int bandRows(const QTransform& device) {
    const auto whole = [](qreal v) { return v == std::floor(v); };
    if (device.type() > QTransform::TxScale || device.m11() != device.m22() || device.m11() < 1 ||
        !whole(device.m11()) || !whole(device.dx()) || !whole(device.dy()))
        return 0;
    return kBandRows / static_cast<int>(device.m11());
}

// rect cut into bands of at most rows rows, top first.
QList<QRect> bandsOf(const QRect& rect, int rows) {
    QList<QRect> bands;
    for (int y = rect.top(); y <= rect.bottom(); y += rows)
        bands.append(QRect(rect.left(), y, rect.width(), std::min(rows, rect.bottom() + 1 - y)));
    return bands;
}

// The part of its device a painter can still draw on, in its own coordinates.
QRect drawableArea(const QPainter* painter) {
    const QPaintDevice* device = painter->device();
    const QRegion systemClip = painter->paintEngine()->systemClip();
    const QRect inDevice = systemClip.isEmpty() ? QRect(0, 0, device->width(), device->height())
                                                : systemClip.boundingRect();
    QRect area = painter->deviceTransform().inverted().mapRect(inDevice);
    if (painter->hasClipping())
        area &= painter->clipBoundingRect().toAlignedRect();
    return area;
}

// Every row of the image is its first.
bool rowsAlike(const QImage& image) {
    const auto bytes = static_cast<size_t>(image.width()) * 4;
    for (int y = 1; y < image.height(); ++y)
        if (std::memcmp(image.constScanLine(y), image.constScanLine(0), bytes) != 0)
            return false;
    return true;
}

// An image of the line repeated, height device rows tall.
QImage repeatedLine(const QImage& line, qreal height) {
    QImage image(line.width(), static_cast<int>(height), line.format());
    image.setDevicePixelRatio(line.devicePixelRatio());
    const auto bytes = static_cast<size_t>(line.width()) * 4;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), line.constScanLine(0), bytes);
    return image;
}

bool isOpaque(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (!std::all_of(row, row + image.width(), [](QRgb p) { return qAlpha(p) == 255; }))
            return false;
    }
    return true;
}

// The one colour of the image's middle, or an invalid colour if it has more than one.
QColor uniformMiddle(const QImage& image) {
    if (image.width() <= 2 * kBorder || image.height() <= 2 * kBorder)
        return {};
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb first = pixels.pixel(kBorder, kBorder);
    for (int y = kBorder; y < pixels.height() - kBorder; ++y)
        for (int x = kBorder; x < pixels.width() - kBorder; ++x)
            if (pixels.pixel(x, y) != first)
                return {};
    return QColor::fromRgba(first);
}

// The image's row between its corners, if every such row is the same at both sides (the
// sides are then that row stretched); else a null image.
QImage sideRow(const QImage& frame) {
    const QImage image = frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.width() <= 2 * kBorder || image.height() <= 2 * kBorder)
        return {};
    const auto side = [&](int y, int x) { return image.constScanLine(y) + 4 * x; };
    for (int y = kBorder + 1; y < image.height() - kBorder; ++y)
        for (const int x : {0, image.width() - kBorder})
            if (std::memcmp(side(y, x), side(kBorder, x), 4 * kBorder) != 0)
                return {};
    return image.copy(0, kBorder, image.width(), 1);
}

} // namespace

FusionFrames::FusionFrames() : FusionFrames(QImage(kFrameImage)) {}

FusionFrames::FusionFrames(const QImage& frame)
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))), inside_(uniformMiddle(frame)),
      sideRow_(sideRow(frame)), frameHeight_(frame.height()) {}

void FusionFrames::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    const bool drawn =
        (element == PE_FrameGroupBox && drawGroupBoxFrame(option, painter, widget)) ||
        (element == PE_FrameTabWidget && drawTabFrame(option, painter, widget));
    if (!drawn)
        QProxyStyle::drawPrimitive(element, option, painter, widget);
}

bool FusionFrames::drawGroupBoxFrame(const QStyleOption* option, QPainter* painter,
                                     const QWidget* widget) const {
    if (!inside_.isValid())
        return false;
    // The frame starts below the title's line when the box has a title or a check box, else a
    // little below the box's top; the part left to the fill is below both.
    const int titleLine = std::max(pixelMetric(PM_ExclusiveIndicatorHeight, option, widget),
                                   option->fontMetrics.height());
    const QRect inside =
        option->rect.adjusted(kBorder, titleLine + kTopMargin + kBorder, -kBorder, -kBorder);
    if (inside.isEmpty())
        return false;
    // Fusion stretches each side of its image over the box's height in one piece: for a box
    // taller than a band, that piece goes to Qt's thread pool. So the sides beside the fill
    // are drawn by Fusion a band at a time, the rest of the border at once; a part outside
    // what is being drawn (the box drawn again behind a child) is left out.
    const QRect sides(option->rect.left(), inside.top(), option->rect.width(), inside.height());
    const QRegion border = QRegion(option->rect).subtracted(inside);
    const QRect shown = drawableArea(painter);
    const int rows = bandRows(painter->deviceTransform());
    // Each side is one span a row, so a band of the sides may be twice as tall as others.
    const QList<QRect> bands = bandsOf(sides, rows > 0 ? 2 * rows : sides.height());
    const auto drawBorder = [&](const QRegion& part) {
        if (!part.intersects(shown))
            return;
        painter->save();
        painter->setClipRegion(part, Qt::IntersectClip);
        QProxyStyle::drawPrimitive(PE_FrameGroupBox, option, painter, widget);
        painter->restore();
    };
    drawBorder(border.subtracted(sides));
    // Beside the fill, Fusion's sides are the middle of its image stretched over the box. When
    // every row of that middle is the same, every row of a side is the same too: a band of a
    // side is one row of it, as Fusion would draw it, repeated. Two small copies a band, where
    // Fusion draws its whole frame clipped to the band.
    const QList<QImage> sideRows =
        rows > 0 ? this->sideRows(option, painter, widget, titleLine) : QList<QImage>{};
    for (const QRect& band : bands) {
        if (sideRows.isEmpty()) {
            drawBorder(border.intersected(band));
        } else if (band.intersects(shown)) {
            const qreal deviceRows = band.height() * painter->deviceTransform().m11();
            painter->drawImage(band.topLeft(), repeatedLine(sideRows[0], deviceRows));
            painter->drawImage(QPoint(band.right() + 1 - kBorder, band.top()),
                               repeatedLine(sideRows[1], deviceRows));
        }
    }
    // The shade is translucent: a fill of it is blended row by row.
    for (const QRect& band : bandsOf(inside, rows > 0 ? rows : inside.height()))
        painter->fillRect(band, inside_);
    return true;
}

QList<QImage> FusionFrames::sideRows(const QStyleOption* option, const QPainter* painter,
                                     const QWidget* widget, int titleLine) const {
    if (sideRow_.isNull())
        return {};
    // Fusion copies the middle of its image onto a box's side as it is when the side is
    // exactly as tall, and stretches it otherwise; a painter that scales or smooths has Qt
    // shade a side's inner column a little differently either way. So the row is drawn as
    // Fusion draws the middle, with the painter's scale and hints, onto a clear canvas: what
    // it shows is what Fusion adds to what lies beneath each row of the side.
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    const int frameTop = box != nullptr && !box->isCheckable() && box->title().isEmpty()
                             ? kTopMargin
                             : titleLine + kTopMargin;
    const bool stretched = option->rect.height() - frameTop != frameHeight_;
    const qreal ratio = painter->deviceTransform().m11();
    const QString key =
        QStringLiteral("%1 %2 %3").arg(stretched).arg(ratio).arg(painter->renderHints().toInt());
    auto found = sideRows_.constFind(key);
    if (found == sideRows_.constEnd()) {
        if (sideRows_.size() >= 16)
            sideRows_.clear();
        QList<QImage> drawn;
        for (const int x : {0, sideRow_.width() - kBorder}) {
            constexpr int kRows = 4;
            QImage canvas(QSize(kBorder, kRows) * ratio, QImage::Format_ARGB32_Premultiplied);
            canvas.setDevicePixelRatio(ratio);
            canvas.fill(Qt::transparent);
            QPainter p(&canvas);
            p.setRenderHints(painter->renderHints());
            if (stretched)
                p.drawImage(QRect(0, 0, kBorder, kRows), sideRow_, QRect(x, 0, kBorder, 1));
            else
                p.drawImage(QPoint(0, 0), repeatedLine(sideRow_, kRows),
                            QRect(x, 0, kBorder, kRows));
            p.end();
            drawn.append(canvas.copy(0, 0, canvas.width(), 1));
            drawn.last().setDevicePixelRatio(ratio);
        }
        found = sideRows_.insert(key, drawn);
    }
    return *found;
}

bool FusionFrames::drawTabFrame(const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const {
    // Fusion's tab-widget frame is a fill with a shadow line below, an outline and a light line
    // inside it, all within three pixels of the edges: drawn by Fusion on a canvas of seven
    // by seven pixels, it is the whole frame with its middle row and column one pixel wide.
    // Fusion strokes the lines a pixel at a time; stretched, each edge is one copy.
    constexpr int b = 3;
    constexpr int side = 2 * b + 1;
    const QRect r = option->rect;
    const auto* frame = qstyleoption_cast<const QStyleOptionTabWidgetFrame*>(option);
    if (frame == nullptr || r.width() < side || r.height() < side ||
        painter->deviceTransform().type() > QTransform::TxTranslate)
        return false;

    const QString key = QStringLiteral("%1 %2 %3 %4")
                            .arg(option->palette.cacheKey())
                            .arg(option->palette.currentColorGroup())
                            .arg(frame->shape)
                            .arg(option->state & (State_Enabled | State_Active));
    auto small = smallTabFrames_.constFind(key);
    if (small == smallTabFrames_.constEnd()) {
        // A palette that keeps changing does not make the store grow without end.
        if (smallTabFrames_.size() >= 64)
            smallTabFrames_.clear();
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QStyleOptionTabWidgetFrame copy = *frame;
        copy.rect = QRect(0, 0, side, side);
        QPainter canvas(&image);
        QProxyStyle::drawPrimitive(PE_FrameTabWidget, &copy, &canvas, widget);
        canvas.end();
        small = smallTabFrames_.insert(key, image);
    }

    // The small frame's corners as they are, its edges and middle stretched.
    const int x[] = {r.left(), r.left() + b, r.right() - b + 1};
    const int w[] = {b, r.width() - 2 * b, b};
    const int y[] = {r.top(), r.top() + b, r.bottom() - b + 1};
    const int h[] = {b, r.height() - 2 * b, b};
    const int sourceAt[] = {0, b, b + 1};
    const int sourceSize[] = {b, 1, b};
    const QRgb middle = small->pixel(b, b);
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            const QRect target(x[column], y[row], w[column], h[row]);
            const QRect source(sourceAt[column], sourceAt[row], sourceSize[column],
                               sourceSize[row]);
            if (row == 1 && column == 1 && qAlpha(middle) == 255) {
                painter->fillRect(target, QColor::fromRgb(middle));
            } else if (row == 1 && column != 1) {
                // An edge is one source row stretched down: every band is that row again,
                // copied as it is rather than scaled.
                const QImage line = small->copy(source);
                for (const QRect& band : bandsOf(target, kBandRows))
                    painter->drawImage(band.topLeft(), repeatedLine(line, band.height()));
            } else if (row == 1) {
                for (const QRect& band : bandsOf(target, kBandRows))
                    painter->drawImage(band, *small, source);
            } else if (column == 1) {
                // The top and bottom edges are one source column stretched across: each row
                // is its pixel again, copied rather than scaled.
                QImage across(target.width(), source.height(), small->format());
                for (int line = 0; line < source.height(); ++line) {
                    const QRgb pixel = reinterpret_cast<const QRgb*>(
                        small->constScanLine(source.top() + line))[source.left()];
                    auto* pixels = reinterpret_cast<QRgb*>(across.scanLine(line));
                    std::fill(pixels, pixels + target.width(), pixel);
                }
                painter->drawImage(target.topLeft(), across);
            } else {
                painter->drawImage(target, *small, source);
            }
        }
    painter->restore();
    return true;
}

void FusionFrames::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const {
    if (control != CC_ScrollBar || !drawScrollBarInBands(option, painter, widget))
        QProxyStyle::drawComplexControl(control, option, painter, widget);
}

bool FusionFrames::drawScrollBarInBands(const QStyleOptionComplex* option, QPainter* painter,
                                        const QWidget* widget) const {
    // Fusion covers a scroll bar with its groove first, opaque, and draws the rest over it: so
    // each band drawn by Fusion on a clear canvas and copied is the bar drawn in place. Fusion
    // also sets clips of its own, which rules out banding by clipping. A canvas that shows
    // anything translucent is not used.
    //
    // Qt strokes a translucent line a pixel at a time, each pixel a span of its own, unless
    // the painter is clipped to one rectangle: the outline of a bar a few hundred pixels wide
    // then goes to the pool like a tall fill. So each band's canvas is clipped to the band,
    // and a bar no taller than a band is drawn in place, clipped to itself.
    const QRect r = option->rect;
    const int rows = bandRows(painter->deviceTransform());
    if (rows == 0 || painter->opacity() != 1.0 ||
        painter->compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    // Fusion draws a few pixels beyond the bar's rectangle; a canvas or a clip leaves them out,
    // so either is used only where the painter's clips leave nothing beyond it to draw on (as
    // for a scroll bar drawing itself).
    const QRect shown = drawableArea(painter);
    if (!r.contains(shown))
        return false;
    if (r.height() <= rows) {
        painter->save();
        painter->setClipRect(r, Qt::IntersectClip);
        QProxyStyle::drawComplexControl(CC_ScrollBar, option, painter, widget);
        painter->restore();
        return true;
    }
    const qreal ratio = painter->deviceTransform().m11();
    // Along a standing bar, between its arrows and its slider, each row is the groove's; well
    // inside the slider each row is the slider's. A band of such rows only is drawn by Fusion
    // once and then made of its line; one that comes within a few pixels of an arrow or an
    // end of the slider is drawn by Fusion every time.
    constexpr int kReach = 4;
    const auto reach = [](const QRect& part, int by) { return part.adjusted(0, -by, 0, by); };
    const QRect slider = subControlRect(CC_ScrollBar, option, SC_ScrollBarSlider, widget);
    const std::array<QRect, 3> parts{
        reach(subControlRect(CC_ScrollBar, option, SC_ScrollBarSubLine, widget), kReach),
        reach(subControlRect(CC_ScrollBar, option, SC_ScrollBarAddLine, widget), kReach),
        reach(slider, kReach)};
    const QRect sliderBody = reach(slider, -kReach);
    const bool standing = !(option->state & State_Horizontal);
    const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                            .arg(option->palette.cacheKey())
                            .arg(option->palette.currentColorGroup())
                            .arg(option->state)
                            .arg(option->activeSubControls)
                            .arg(r.left())
                            .arg(r.width())
                            .arg(ratio);
    QList<std::pair<QPoint, QImage>> drawn;
    for (const QRect& band : bandsOf(r, rows)) {
        if (!band.intersects(shown))
            continue;
        QString lineKey;
        if (standing && std::none_of(parts.cbegin(), parts.cend(),
                                     [&](const QRect& part) { return part.intersects(band); }))
            lineKey = key + QStringLiteral(" groove");
        else if (standing && band.top() >= sliderBody.top() && band.bottom() <= sliderBody.bottom())
            lineKey = key + QStringLiteral(" slider");
        const auto line = lineKey.isEmpty() ? lines_.constEnd() : lines_.constFind(lineKey);
        if (line != lines_.constEnd()) {
            drawn.append({band.topLeft(), repeatedLine(*line, band.height() * ratio)});
            continue;
        }
        QImage image(band.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter canvas(&image);
        canvas.setRenderHints(painter->renderHints());
        canvas.setPen(painter->pen());
        canvas.setBrush(painter->brush());
        canvas.setBrushOrigin(painter->brushOrigin());
        canvas.setFont(painter->font());
        canvas.translate(-band.topLeft());
        canvas.setClipRect(band);
        QProxyStyle::drawComplexControl(CC_ScrollBar, option, &canvas, widget);
        canvas.end();
        if (!isOpaque(image))
            return false;
        if (!lineKey.isEmpty() && rowsAlike(image)) {
            // Colours that keep changing do not make the store grow without end.
            if (lines_.size() >= 64)
                lines_.clear();
            lines_.insert(lineKey, image.copy(0, 0, image.width(), 1));
        }
        drawn.append({band.topLeft(), image});
    }
    for (const auto& [at, image] : drawn)
        painter->drawImage(at, image);
    return true;
}

void FusionFrames::useForApplication() {
    QStyle* style = QApplication::style();
    if (dynamic_cast<FusionFrames*>(style) == nullptr &&
        style->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0)
        QApplication::setStyle(new FusionFrames);
}

} // namespace platform
