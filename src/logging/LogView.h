#pragma once

#include <QTreeView>

namespace logging {

// The list that shows a page's log. Every reading goes in on top and moves every row shown,
// so the list is repainted whole anyway; a change of selection therefore repaints the whole
// viewport instead of working out the rows' area, which would lay out every row of a long
// log for each reading.
class LogView final : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;

protected:
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
};

} // namespace logging
