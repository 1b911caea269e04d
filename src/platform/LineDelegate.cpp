#include "LineDelegate.h"

#include <QFontMetrics>
#include <QPainter>

namespace platform {

namespace {
constexpr int kMargin = 3; // left and right of the text
} // namespace

void LineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        !option.state.testFlag(QStyle::State_Enabled) ? QPalette::Disabled
        : option.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                      : QPalette::Inactive;
    if (selected)
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    painter->save();
    painter->setClipRect(option.rect, Qt::IntersectClip);
    painter->setFont(option.font);
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetrics metrics(option.font);
    const int baseline =
        option.rect.top() + (option.rect.height() - metrics.height()) / 2 + metrics.ascent();
    painter->drawText(QPoint(option.rect.left() + kMargin, baseline),
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize LineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QFontMetrics metrics(option.font);
    return {metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 2 * kMargin,
            metrics.height() + 2};
}

} // namespace platform
