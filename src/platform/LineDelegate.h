#pragma once

#include <QAbstractItemDelegate>
#include <QFont>
#include <QHash>

namespace platform {

// Draws plain text items, such as the sensor list's cells and the sensor details, for a
// fraction of what the general item delegate costs, in measuring them as well as in drawing
// them: one line of text in the view's font and colours, the selection as a filled band, the
// focus frame, nothing else the model might offer. A text wider than its cell is cut at the
// cell's end, not shortened with an ellipsis.
class LineDelegate final : public QAbstractItemDelegate {
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    mutable QHash<QString, int> widths_; // texts measured in widthsFont_
    mutable QFont widthsFont_;
};

} // namespace platform
