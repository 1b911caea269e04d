#include "RowsView.h"

#include "RowsAccessible.h"

#include <QScrollBar>
#include <algorithm>

namespace widgets {

RowsView::RowsView(QWidget* parent) : QAbstractItemView(parent) {
    installRowsAccessibility();
}

void RowsView::setModel(QAbstractItemModel* model) {
    if (model == this->model())
        return;
    if (this->model() != nullptr)
        this->model()->disconnect(this);
    QAbstractItemView::setModel(model);
    if (model == nullptr)
        return;
    connect(model, &QAbstractItemModel::rowsInserted, this, &RowsView::rowsChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &RowsView::rowsChanged);
    connect(model, &QAbstractItemModel::rowsMoved, this, &RowsView::rowsChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &RowsView::rowsChanged);
    connect(model, &QAbstractItemModel::layoutChanged, this, &RowsView::rowsChanged);
    emit rowsChanged();
}

int RowsView::rowHeight() const {
    if (rowHeight_ == 0)
        rowHeight_ = std::max(1, measureRowHeight());
    return rowHeight_;
}

int RowsView::rowCount() const {
    return model() != nullptr ? model()->rowCount(rootIndex()) : 0;
}

int RowsView::firstShownRow() const {
    return verticalScrollBar()->value();
}

int RowsView::rowsShown() const {
    return std::max(1, viewport()->height() / rowHeight());
}

int RowsView::rowAt(int y) const {
    if (y < 0)
        return -1;
    const int row = firstShownRow() + y / rowHeight();
    return row < rowCount() ? row : -1;
}

void RowsView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid())
        return;
    const int first = firstShownRow();
    const int shown = rowsShown();
    const int row = index.row();
    int top = first;
    switch (hint) {
    case PositionAtTop:
        top = row;
        break;
    case PositionAtBottom:
        top = row - shown + 1;
        break;
    case PositionAtCenter:
        top = row - shown / 2;
        break;
    case EnsureVisible:
        if (row < first)
            top = row;
        else if (row >= first + shown)
            top = row - shown + 1;
        break;
    }
    verticalScrollBar()->setValue(top);
}

QModelIndex RowsView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers) {
    const int last = rowCount() - 1;
    if (last < 0)
        return {};
    const int current = currentIndex().isValid() ? currentIndex().row() : 0;
    int row = current;
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        row = current - 1;
        break;
    case MoveDown:
    case MoveNext:
        row = current + 1;
        break;
    case MovePageUp:
        row = current - rowsShown();
        break;
    case MovePageDown:
        row = current + rowsShown();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = last;
        break;
    default:
        break;
    }
    return model()->index(std::clamp(row, 0, last), 0, rootIndex());
}

int RowsView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int RowsView::verticalOffset() const {
    return firstShownRow() * rowHeight();
}

void RowsView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const int top = rowAt(rect.top());
    const int bottom = rowAt(rect.bottom());
    if (top < 0 && bottom < 0)
        return;
    const int from = top < 0 ? bottom : top;
    const int to = bottom < 0 ? top : bottom;
    const QItemSelection rows(
        model()->index(std::min(from, to), 0, rootIndex()),
        model()->index(std::max(from, to), model()->columnCount(rootIndex()) - 1, rootIndex()));
    selectionModel()->select(rows, command);
}

QRegion RowsView::visualRegionForSelection(const QItemSelection& selection) const {
    // Selections are whole rows: the strips of the rows shown.
    QRegion region;
    const int first = firstShownRow();
    const int last = first + rowsShown();
    for (const QItemSelectionRange& range : selection) {
        const int top = std::max(range.top(), first);
        const int bottom = std::min(range.bottom(), last);
        if (top <= bottom)
            region += QRect(0, (top - first) * rowHeight(), viewport()->width(),
                            (bottom - top + 1) * rowHeight());
    }
    return region;
}

} // namespace widgets
