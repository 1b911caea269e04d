#include "LineListView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {
constexpr int kMargin = 3; // left of the text
} // namespace

LineListView::LineListView(QWidget* parent) : RowsView(parent) {
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
}

void LineListView::setModel(QAbstractItemModel* model) {
    RowsView::setModel(model);
    reset();
}

void LineListView::reset() {
    QAbstractItemView::reset();
    measureAll();
    viewport()->update();
}

void LineListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        forgetRowHeight();
        pitch_ = -1;
        measureAll();
    }
    QAbstractItemView::changeEvent(event);
}

void LineListView::measureAll() {
    widest_ = 0;
    measure(0, rowCount() - 1);
    updateScrollRanges();
}

int LineListView::measureRowHeight() const {
    return fontMetrics().height() + 2;
}

QString LineListView::lineText(int row) const {
    return model()->index(row, 0, rootIndex()).data(Qt::DisplayRole).toString();
}

qreal LineListView::pitch() const {
    if (pitch_ < 0) {
        // Of fixed pitch when every printable ASCII character is as wide as a blank: some
        // such fonts do not say so (Noto Sans Mono, for one, has no fixed pitch for Qt).
        // The widths are fractions of a pixel that add up along a line.
        const QFontMetricsF metrics(font());
        pitch_ = metrics.horizontalAdvance(QLatin1Char(' '));
        for (char c = '!'; c <= '~' && pitch_ > 0; ++c)
            if (metrics.horizontalAdvance(QLatin1Char(c)) != pitch_)
                pitch_ = 0;
    }
    return pitch_;
}

void LineListView::measure(int first, int last) {
    const QFontMetrics metrics = fontMetrics();
    // In a font of fixed pitch a line of plain characters is as wide as its count of them,
    // which spares shaping every line twice, once to measure it and once to draw it.
    const qreal pitch = this->pitch();
    for (int row = std::max(0, first); row <= last; ++row) {
        const QString text = lineText(row);
        const bool plain = pitch > 0 && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
                               return c.unicode() >= 0x20 && c.unicode() < 0x7f;
                           });
        const int width = plain
                              ? static_cast<int>(std::ceil(pitch * static_cast<qreal>(text.size())))
                              : metrics.horizontalAdvance(text);
        widest_ = std::max(widest_, width + 2 * kMargin);
    }
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

void LineListView::paintEvent(QPaintEvent* event) {
    if (unmoved_ != 0) {
        // Drawn before the window's next drawing (uncovered, say): the pixels outside this
        // drawing were not moved, so they are drawn afresh next.
        unmoved_ = 0;
        viewport()->update();
    }
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
    // A scroll bar draws itself again whenever its steps are set, changed or not, and this
    // runs for every line added.
    const auto setSteps = [](QScrollBar* bar, int single, int page) {
        if (bar->singleStep() != single)
            bar->setSingleStep(single);
        if (bar->pageStep() != page)
            bar->setPageStep(page);
    };
    setSteps(verticalScrollBar(), 1, rowsShown());
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - rowsShown()));
    setSteps(horizontalScrollBar(),
             pitch() > 0 ? static_cast<int>(std::ceil(pitch())) : fontMetrics().averageCharWidth(),
             viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, widest_ - viewport()->width()));
}

void LineListView::scrollContentsBy(int dx, int dy) {
    // The pixels of the lines shown move when the window is next drawn (a chain of requests
    // holds drawing back, and then one move serves all the lines added meanwhile); only what
    // the move uncovers is drawn. That is marked now, in whole rows: rows lie on a grid from
    // the top, so the band at the bottom is widened to the rows it cuts (a new line's top
    // would be left blank). Marked before the move, the band moves with the pixels; with
    // what the move itself uncovers it still covers those rows.
    unmoved_ += dy * rowHeight();
    const int height = viewport()->height();
    if (dx != 0 || std::abs(unmoved_) >= height || watchedWindow_.isNull() ||
        watchedWindow_ != window() || !isVisible()) {
        unmoved_ = 0;
        viewport()->update();
    } else if (unmoved_ < 0) {
        const int top = (height + unmoved_) / rowHeight() * rowHeight();
        viewport()->update(QRect(0, top, viewport()->width(), height - top));
    } else if (unmoved_ > 0) {
        viewport()->update(QRect(0, 0, viewport()->width(), unmoved_));
    }
}

void LineListView::moveNow() {
    if (unmoved_ != 0)
        viewport()->scroll(0, std::exchange(unmoved_, 0));
}

void LineListView::showEvent(QShowEvent* event) {
    if (watchedWindow_ != window()) {
        if (!watchedWindow_.isNull())
            watchedWindow_->removeEventFilter(this);
        watchedWindow_ = window();
        watchedWindow_->installEventFilter(this);
    }
    RowsView::showEvent(event);
}

bool LineListView::eventFilter(QObject* watched, QEvent* event) {
    // The window is about to draw what changed.
    if (watched == watchedWindow_ && event->type() == QEvent::UpdateRequest)
        moveNow();
    return RowsView::eventFilter(watched, event);
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
