#pragma once

#include <QAbstractItemDelegate>

namespace platform {

// Draws a list of plain text lines, such as the comms monitor, for a fraction of what the
// general item delegate costs: one line of text in the view's font and colours, the
// selection as a filled band, nothing else the model might offer. A line wider than its row
// is cut at the row's end, not shortened with an ellipsis. Meant for a list of uniform row
// sizes, where only one line's size is ever asked for.
class LineDelegate final : public QAbstractItemDelegate {
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace platform
