#pragma once

#include <QAbstractItemView>

namespace platform {

// A list of text lines of one height that grows at its end and follows it, such as the
// comms monitor. Nothing is laid out per line: an added line moves the lines shown up by
// one row and only the new row is drawn, and the scroll range is the line count. Lines can
// be selected one at a time, as in any list.
class LineListView final : public QAbstractItemView {
    Q_OBJECT
public:
    explicit LineListView(QWidget* parent = nullptr);

    int rowHeight() const;

    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void reset() override;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void changeEvent(QEvent* event) override;

private:
    int firstShownRow() const;
    int rowsShown() const;
    int rowAt(int y) const;
    int rowCount() const;
    QString lineText(int row) const;
    void measure(int first, int last);
    void updateScrollRanges();

    mutable int rowHeight_ = 0; // 0: not known yet
    int widest_ = 0;            // the widest line's width, in pixels
};

} // namespace platform
