#pragma once

#include "gui/widgets/RowsView.h"

#include <QFont>

class QHeaderView;

namespace logging {

// The list that shows a page's log: rows of one height under a column header, one row
// selected at a time. Only the rows on screen are ever looked at, so a reading added to a
// log of a million rows costs no more than one added to an empty log: nothing is laid out
// per row, the scroll range is the row count.
class LogView final : public widgets::RowsView {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);
    ~LogView() override;

    QHeaderView* header() const { return header_; }
    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    QModelIndex indexAt(const QPoint& point) const override;
    void reset() override;
    void doItemsLayout() override;

protected:
    int measureRowHeight() const override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void changeEvent(QEvent* event) override;

private:
    void updateScrollRange();
    void scheduleRangeUpdate();
    int headerHeight() const;

    QHeaderView* header_;
    // The header's height as last measured, for its font, style and titles then (-1: none).
    mutable int headerHeight_ = -1;
    mutable QFont headerFont_;
    mutable const QStyle* headerStyle_ = nullptr;
    QMetaObject::Connection titlesChanged_;
    bool rangeUpdatePending_ = false;
    bool movedSincePaint_ = false;
};

} // namespace logging
