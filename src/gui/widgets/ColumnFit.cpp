#include "ColumnFit.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeView>
#include <algorithm>

namespace widgets {

// A child of the header, which goes before the tree's model does: the model's last reset,
// while the tree is being taken down, finds nothing connected.
ColumnFit::ColumnFit(QTreeView* list) : QObject(list->header()), list_(list) {
    list->header()->setSectionResizeMode(QHeaderView::Fixed);
    QAbstractItemModel* model = list->model();
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (!topLeft.parent().isValid())
                    fit(topLeft.column(), bottomRight.column());
            });
    connect(model, &QAbstractItemModel::rowsInserted, this, &ColumnFit::fitAll);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ColumnFit::fitAll);
    connect(model, &QAbstractItemModel::modelReset, this, &ColumnFit::fitAll);
    connect(model, &QAbstractItemModel::headerDataChanged, this, &ColumnFit::fitAll);
    connect(model, &QAbstractItemModel::columnsInserted, this, &ColumnFit::fitAll);
    list->installEventFilter(this);
    fitAll();
}

bool ColumnFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ &&
        (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange))
        fitAll();
    return false;
}

void ColumnFit::fitAll() {
    labelWidths_.fill(-1, list_->model()->columnCount());
    fit(0, static_cast<int>(labelWidths_.size()) - 1);
}

int ColumnFit::labelWidth(int column) {
    if (column >= labelWidths_.size())
        labelWidths_.resize(column + 1, -1);
    int& width = labelWidths_[column];
    if (width < 0)
        width = list_->header()->sectionSizeHint(column);
    return width;
}

void ColumnFit::fit(int first, int last) {
    QHeaderView* header = list_->header();
    // The tree's own measure of a column's cells (public as the item view's).
    const QAbstractItemView* cells = list_;
    const int stretched = header->stretchLastSection() ? header->count() - 1 : -1;
    for (int column = std::max(0, first); column <= last && column < header->count(); ++column) {
        if (column == stretched)
            continue;
        const int width = std::clamp(std::max(labelWidth(column), cells->sizeHintForColumn(column)),
                                     header->minimumSectionSize(), header->maximumSectionSize());
        if (width != header->sectionSize(column))
            header->resizeSection(column, width);
    }
}

} // namespace widgets
