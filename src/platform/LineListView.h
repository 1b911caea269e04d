#pragma once

#include "RowsView.h"

#include <QPointer>

namespace platform {

// A list of text lines of one height that grows at its end and follows it, such as the
// comms monitor. Nothing is laid out per line: an added line moves the lines shown up by
// one row and only the new row is drawn, and the scroll range is the line count. The lines
// shown are moved when the window is next drawn, once for all the lines added since. Lines
// can be selected one at a time, as in any list.
class LineListView final : public RowsView {
    Q_OBJECT
public:
    explicit LineListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    QModelIndex indexAt(const QPoint& point) const override;
    void reset() override;

protected:
    int measureRowHeight() const override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString lineText(int row) const;
    // The width of a printable ASCII character in a font of fixed pitch, 0 in another font.
    qreal pitch() const;
    void measure(int first, int last);
    void measureAll();
    void updateScrollRanges();
    void moveNow();

    int widest_ = 0; // the widest line's width, in pixels
    // How far the lines shown have scrolled down (up: negative), in pixels, since their
    // pixels were last moved.
    int unmoved_ = 0;
    QPointer<QWidget> watchedWindow_; // whose drawings move the pixels
    mutable qreal pitch_ = -1;        // -1: not known yet
};

} // namespace platform
