#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QProxyStyle>

namespace platform {

// Fusion as it looks, with its group-box and tab-widget frames drawn for less: the same pixels.
// Fusion draws a group box's frame by stretching a small image over the whole box, inside
// included; the inside is one faint shade. Here the image gives the border as before and the
// inside is filled with its shade. A tab widget's frame Fusion draws with lines stroked a
// pixel at a time; here it is drawn small once and stretched. Both frames cover most of a
// sensor page, and they had been the costliest parts of drawing one. Tall scroll bars and the
// frames' tall parts are drawn in bands, and short scroll bars clipped to themselves, which
// keeps Qt from handing them to its thread pool.
class FusionFrames final : public QProxyStyle {
public:
    FusionFrames();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;

    // Makes the application's style FusionFrames if it is Fusion; any other style stays.
    static void useForApplication();

private:
    // frame: Fusion's group-box frame image.
    explicit FusionFrames(const QImage& frame);

    // Each draws its frame and says so, or leaves it to Fusion.
    bool drawGroupBoxFrame(const QStyleOption* option, QPainter* painter,
                           const QWidget* widget) const;
    // The left and right side of a group box's frame, a row each, as Fusion draws them with
    // this painter; empty if they are not one row stretched.
    QList<QImage> sideRows(const QStyleOption* option, const QPainter* painter,
                           const QWidget* widget, int titleLine) const;
    bool drawTabFrame(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    bool drawScrollBarInBands(const QStyleOptionComplex* option, QPainter* painter,
                              const QWidget* widget) const;

    mutable QHash<QString, QImage> smallTabFrames_; // drawn by Fusion, by palette and shape
    mutable QHash<QString, QImage> lines_;          // a line of a standing bar's groove or slider
    QColor inside_;       // invalid: the image is not as expected, and frames are drawn as Fusion's
    QImage sideRow_;      // the image's row that its sides stretch, if they stretch one row
    int frameHeight_ = 0; // the image's height
    mutable QHash<QString, QList<QImage>> sideRows_; // by how the painter and Fusion draw them
};

} // namespace platform
