#include "LogView.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace logging {

LogView::LogView(QWidget* parent)
    : QAbstractItemView(parent), header_(new QHeaderView(Qt::Horizontal, this)) {
    header_->setSectionsClickable(false);
    header_->setStretchLastSection(true);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
    connect(header_, &QHeaderView::sectionResized, this, [this] {
        updateGeometries();
        viewport()->update();
    });
    connect(header_, &QHeaderView::geometriesChanged, this, &LogView::updateGeometries);
}

LogView::~LogView() {
    // The header goes with the widget base; its last signals must not reach this view.
    header_->disconnect(this);
}

void LogView::setModel(QAbstractItemModel* model) {
    QAbstractItemView::setModel(model);
    header_->setModel(model);
    rowHeight_ = 0;
    updateGeometries();
}

void LogView::reset() {
    QAbstractItemView::reset();
    updateGeometries();
    viewport()->update();
}

void LogView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        rowHeight_ = 0;
    QAbstractItemView::changeEvent(event);
}

int LogView::rowHeight() const {
    if (rowHeight_ == 0) {
        QStyleOptionViewItem option;
        const_cast<LogView*>(this)->initViewItemOption(&option);
        option.text = QStringLiteral("0");
        const QModelIndex probe =
            model() != nullptr && model()->rowCount() > 0 ? model()->index(0, 0) : QModelIndex();
        const int fromDelegate =
            probe.isValid() ? itemDelegate()->sizeHint(option, probe).height() : 0;
        rowHeight_ = std::max({fromDelegate, fontMetrics().height() + 4, 1});
    }
    return rowHeight_;
}

int LogView::firstShownRow() const {
    return verticalScrollBar()->value();
}

int LogView::rowsShown() const {
    return std::max(1, viewport()->height() / rowHeight());
}

int LogView::rowAt(int y) const {
    if (model() == nullptr || y < 0)
        return -1;
    const int row = firstShownRow() + y / rowHeight();
    return row < model()->rowCount() ? row : -1;
}

QRect LogView::visualRect(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    const int y = (index.row() - firstShownRow()) * rowHeight();
    return {header_->sectionViewportPosition(index.column()), y,
            header_->sectionSize(index.column()), rowHeight()};
}

QModelIndex LogView::indexAt(const QPoint& point) const {
    const int row = rowAt(point.y());
    const int column = header_->logicalIndexAt(point.x());
    if (row < 0 || column < 0)
        return {};
    return model()->index(row, column, rootIndex());
}

void LogView::scrollTo(const QModelIndex& index, ScrollHint hint) {
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

QModelIndex LogView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers) {
    if (model() == nullptr || model()->rowCount() == 0)
        return {};
    const int last = model()->rowCount() - 1;
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

int LogView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int LogView::verticalOffset() const {
    return firstShownRow() * rowHeight();
}

void LogView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    if (model() == nullptr)
        return;
    const int top = rowAt(rect.top());
    const int bottom = rowAt(rect.bottom());
    if (top < 0 && bottom < 0)
        return;
    const int from = top < 0 ? bottom : top;
    const int to = bottom < 0 ? top : bottom;
    const QItemSelection rows(
        model()->index(std::min(from, to), 0, rootIndex()),
        model()->index(std::max(from, to), model()->columnCount() - 1, rootIndex()));
    selectionModel()->select(rows, command);
}

QRegion LogView::visualRegionForSelection(const QItemSelection& selection) const {
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

void LogView::paintEvent(QPaintEvent* event) {
    movedSincePaint_ = false;
    if (model() == nullptr)
        return;
    // Plain text on plain rows: the rows shown are painted afresh for every reading, so
    // they are drawn directly rather than through the item delegate's style calls.
    QPainter painter(viewport());
    const QPalette& colours = palette();
    const int rows = model()->rowCount();
    const int columns = model()->columnCount();
    const int height = rowHeight();
    const int first = firstShownRow();
    const int last = std::min(rows - 1, first + event->rect().bottom() / height);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int width = std::max(viewport()->width(), header_->length() - horizontalOffset());
    const bool active = isActiveWindow();
    for (int row = first + event->rect().top() / height; row <= last; ++row) {
        const QRect line(0, (row - first) * height, width, height);
        const bool selected =
            selectionModel() != nullptr && selectionModel()->isRowSelected(row, rootIndex());
        const auto group = active ? QPalette::Active : QPalette::Inactive;
        if (selected)
            painter.fillRect(line, colours.brush(group, QPalette::Highlight));
        // Stripes follow a row's age, not its place: a row keeps its colour as newer
        // readings push it down, so the rows shown can be moved rather than drawn again.
        else if (alternatingRowColors() && ((rows - 1 - row) & 1) != 0)
            painter.fillRect(line, colours.brush(group, QPalette::AlternateBase));
        painter.setPen(colours.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        for (int column = 0; column < columns; ++column) {
            const QRect cell(header_->sectionViewportPosition(column) + margin, line.top(),
                             header_->sectionSize(column) - 2 * margin, height);
            if (cell.right() < event->rect().left() || cell.left() > event->rect().right())
                continue;
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                             model()->index(row, column, rootIndex()).data().toString());
        }
    }
}

void LogView::updateGeometries() {
    const int headerHeight = header_->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    header_->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);
    updateScrollRange();
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, std::max(0, header_->length() - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    header_->setOffset(horizontalScrollBar()->value());
    QAbstractItemView::updateGeometries();
}

void LogView::scrollContentsBy(int dx, int dy) {
    if (dx != 0)
        header_->setOffset(horizontalScrollBar()->value());
    viewport()->update();
    (void)dy;
}

void LogView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsInserted(parent, start, end);
    // The rows shown from the insertion down move by the rows inserted: their pixels are
    // moved and only the strip they leave is drawn, so a new reading with the newest rows
    // shown paints a row or two, not the screenful.
    // A burst of readings between two paints (a log moved from another page) moves the
    // pixels once and draws the rest afresh.
    const int first = firstShownRow();
    const int from = std::max(start, first) - first;
    if (movedSincePaint_) {
        viewport()->update();
    } else if (from < rowsShown() + 1) {
        const int top = from * rowHeight();
        viewport()->scroll(0, (end - start + 1) * rowHeight(),
                           QRect(0, top, viewport()->width(), viewport()->height() - top));
        movedSincePaint_ = true;
    }
    scheduleRangeUpdate();
}

void LogView::scheduleRangeUpdate() {
    // The scroll range follows once per burst of readings: each change of it posts an event.
    if (rangeUpdatePending_)
        return;
    rangeUpdatePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            rangeUpdatePending_ = false;
            updateScrollRange();
        },
        Qt::QueuedConnection);
}

void LogView::doItemsLayout() {
    QAbstractItemView::doItemsLayout();
    updateScrollRange();
}

void LogView::updateScrollRange() {
    const int rows = model() != nullptr ? model()->rowCount() : 0;
    verticalScrollBar()->setRange(0, std::max(0, rows - rowsShown()));
    verticalScrollBar()->setPageStep(rowsShown());
}

void LogView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    scheduleRangeUpdate();
    viewport()->update();
}

} // namespace logging
