#include "LogView.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace logging {

LogView::LogView(QWidget* parent)
    : RowsView(parent), header_(new QHeaderView(Qt::Horizontal, this)) {
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
    RowsView::setModel(model);
    header_->setModel(model);
    forgetRowHeight();
    headerHeight_ = -1;
    disconnect(titlesChanged_);
    if (model != nullptr)
        titlesChanged_ = connect(model, &QAbstractItemModel::headerDataChanged, this,
                                 [this] { headerHeight_ = -1; });
    updateGeometries();
}

int LogView::headerHeight() const {
    // Qt measures the header's titles again after every resize of its sections, which a
    // page's first showing makes a dozen times; its height changes only with its font, its
    // style or its titles.
    if (headerHeight_ < 0 || headerStyle_ != header_->style() || headerFont_ != header_->font()) {
        headerHeight_ = header_->sizeHint().height();
        headerFont_ = header_->font();
        headerStyle_ = header_->style();
    }
    return headerHeight_;
}

void LogView::reset() {
    QAbstractItemView::reset();
    headerHeight_ = -1;
    updateGeometries();
    viewport()->update();
}

void LogView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        forgetRowHeight();
    QAbstractItemView::changeEvent(event);
}

int LogView::measureRowHeight() const {
    QStyleOptionViewItem option;
    const_cast<LogView*>(this)->initViewItemOption(&option);
    option.text = QStringLiteral("0");
    const QModelIndex probe =
        model() != nullptr && model()->rowCount() > 0 ? model()->index(0, 0) : QModelIndex();
    const int fromDelegate = probe.isValid() ? itemDelegate()->sizeHint(option, probe).height() : 0;
    return std::max(fromDelegate, fontMetrics().height() + 4);
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
    const int headerHeight = this->headerHeight();
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
