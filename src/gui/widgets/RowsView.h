#pragma once

#include <QAbstractItemView>

namespace widgets {

// The part of a list of rows of one height that does not depend on what a row shows: the
// vertical scroll bar counts rows (its value is the first row shown), a row is picked by
// its place, the keyboard moves from row to row and a selection is of whole rows. Nothing is
// laid out per row, so a list of a million rows costs no more to scroll than one of ten.
// Assistive tools read it as a list with an item per row.
class RowsView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit RowsView(QWidget* parent = nullptr);

    int rowHeight() const;
    void setModel(QAbstractItemModel* model) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

Q_SIGNALS:
    // Rows came, went or moved in the model.
    void rowsChanged();

protected:
    // The height of a row, asked once until forgetRowHeight().
    virtual int measureRowHeight() const = 0;
    void forgetRowHeight() { rowHeight_ = 0; }

    int rowCount() const;
    int firstShownRow() const;
    int rowsShown() const;
    // The row at a height in the viewport, or -1.
    int rowAt(int y) const;

    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;

private:
    mutable int rowHeight_ = 0; // 0: not known yet
};

} // namespace widgets
