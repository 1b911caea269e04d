#include "LineDelegate.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

namespace platform {

namespace {
constexpr int kMargin = 3; // left and right of the text
constexpr qsizetype kMaxWidths = 1000;
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
    // The keyboard's place in the list, as the style shows it.
    if (option.state.testFlag(QStyle::State_HasFocus) && option.widget != nullptr) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor =
            option.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
        option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter,
                                              option.widget);
    }
}

QSize LineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    // A list that fits its columns to their texts asks for every cell's size after each new
    // text; the few different texts it holds are measured once.
    if (option.font != widthsFont_ || widths_.size() > kMaxWidths) {
        widths_.clear();
        widthsFont_ = option.font;
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    auto width = widths_.constFind(text);
    if (width == widths_.cend())
        width = widths_.insert(text, QFontMetrics(option.font).horizontalAdvance(text));
    return {*width + 2 * kMargin, QFontMetrics(option.font).height() + 2};
}

} // namespace platform
