#include "LineListView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace platform {

namespace {
constexpr int kMargin = 3; // left of the text
} // namespace

LineListView::LineListView(QWidget* parent) : QAbstractItemView(parent) {
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
}

void LineListView::setModel(QAbstractItemModel* model) {
    QAbstractItemView::setModel(model);
    reset();
}

void LineListView::reset() {
    QAbstractItemView::reset();
    widest_ = 0;
    measure(0, rowCount() - 1);
    updateScrollRanges();
    viewport()->update();
}

void LineListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        rowHeight_ = 0;
        widest_ = 0;
        measure(0, rowCount() - 1);
        updateScrollRanges();
    }
    QAbstractItemView::changeEvent(event);
}

int LineListView::rowHeight() const {
    if (rowHeight_ == 0)
        rowHeight_ = std::max(1, fontMetrics().height() + 2);
    return rowHeight_;
}

int LineListView::rowCount() const {
    return model() != nullptr ? model()->rowCount(rootIndex()) : 0;
}

QString LineListView::lineText(int row) const {
    return model()->index(row, 0, rootIndex()).data(Qt::DisplayRole).toString();
}

void LineListView::measure(int first, int last) {
    const QFontMetrics metrics = fontMetrics();
    // In a font of fixed pitch a line of plain characters is as wide as its count of them,
    // which spares shaping every line twice, once to measure it and once to draw it.
    const int pitch = fontInfo().fixedPitch() ? metrics.horizontalAdvance(QLatin1Char('0')) : 0;
    for (int row = std::max(0, first); row <= last; ++row) {
        const QString text = lineText(row);
        const bool plain = pitch > 0 && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
                               return c.unicode() >= 0x20 && c.unicode() < 0x7f;
                           });
        const int width =
            plain ? pitch * static_cast<int>(text.size()) : metrics.horizontalAdvance(text);
        widest_ = std::max(widest_, width + 2 * kMargin);
    }
}

int LineListView::firstShownRow() const {
    return verticalScrollBar()->value();
}

int LineListView::rowsShown() const {
    return std::max(1, viewport()->height() / rowHeight());
}

int LineListView::rowAt(int y) const {
    if (y < 0)
        return -1;
    const int row = firstShownRow() + y / rowHeight();
    return row < rowCount() ? row : -1;
}

QRect LineListView::visualRect(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    return {-horizontalOffset(), (index.row() - firstShownRow()) * rowHeight(),
            std::max(widest_, viewport()->width() + horizontalOffset()), rowHeight()};
}

QModelIndex LineListView::indexAt(const QPoint& point) const {
    const int row = rowAt(point.y());
    return row < 0 ? QModelIndex() : model()->index(row, 0, rootIndex());
}

void LineListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
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

QModelIndex LineListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers) {
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

int LineListView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int LineListView::verticalOffset() const {
    return firstShownRow() * rowHeight();
}

void LineListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const int top = rowAt(rect.top());
    const int bottom = rowAt(rect.bottom());
    if (top < 0 && bottom < 0)
        return;
    const int from = top < 0 ? bottom : top;
    const int to = bottom < 0 ? top : bottom;
    selectionModel()->select(QItemSelection(model()->index(std::min(from, to), 0, rootIndex()),
                                            model()->index(std::max(from, to), 0, rootIndex())),
                             command);
}

QRegion LineListView::visualRegionForSelection(const QItemSelection& selection) const {
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

void LineListView::paintEvent(QPaintEvent* event) {
    if (model() == nullptr)
        return;
    QPainter painter(viewport());
    const QPalette& colours = palette();
    const auto group = !isEnabled()       ? QPalette::Disabled
                       : isActiveWindow() ? QPalette::Active
                                          : QPalette::Inactive;
    const int height = rowHeight();
    const int first = firstShownRow();
    const int last = std::min(rowCount() - 1, first + event->rect().bottom() / height);
    const QFontMetrics metrics = fontMetrics();
    const int baseline = (height - metrics.height()) / 2 + metrics.ascent();
    const int x = kMargin - horizontalOffset();
    for (int row = first + event->rect().top() / height; row <= last; ++row) {
        const int top = (row - first) * height;
        const bool selected = selectionModel() != nullptr &&
                              selectionModel()->isSelected(model()->index(row, 0, rootIndex()));
        if (selected)
            painter.fillRect(QRect(0, top, viewport()->width(), height),
                             colours.brush(group, QPalette::Highlight));
        painter.setPen(colours.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(QPoint(x, top + baseline), lineText(row));
    }
}

void LineListView::updateGeometries() {
    updateScrollRanges();
    QAbstractItemView::updateGeometries();
}

void LineListView::updateScrollRanges() {
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setPageStep(rowsShown());
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - rowsShown()));
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth());
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, widest_ - viewport()->width()));
}

void LineListView::scrollContentsBy(int dx, int dy) {
    // The pixels shown move; only the rows or columns uncovered are drawn.
    viewport()->scroll(dx, dy * rowHeight());
}

void LineListView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsInserted(parent, start, end);
    if (parent != rootIndex())
        return;
    measure(start, end);
    // The lines shown from the insertion down are drawn again; at the end that is the new
    // lines only, which the move to the end below brings into view.
    const int first = firstShownRow();
    if (start < first + rowsShown())
        viewport()->update(
            QRect(0, (start - first) * rowHeight(), viewport()->width(), viewport()->height()));
    updateScrollRanges();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LineListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                               const QList<int>& roles) {
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    if (topLeft.parent() != rootIndex())
        return;
    measure(topLeft.row(), bottomRight.row());
    updateScrollRanges();
    viewport()->update();
}

void LineListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    viewport()->update();
    QMetaObject::invokeMethod(this, &LineListView::updateScrollRanges, Qt::QueuedConnection);
}

} // namespace platform
