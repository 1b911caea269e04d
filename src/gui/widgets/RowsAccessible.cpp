#include "RowsAccessible.h"

#include "RowsView.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QScrollBar>

namespace widgets {

namespace {

// One row, as an item of the list. Owned by Qt's cache of interfaces; the list's interface
// removes it when the rows change or the list goes.
class RowInterface final : public QAccessibleInterface {
public:
    RowInterface(RowsView* view, int row) : view_(view), row_(row) {}

    bool isValid() const override {
        return !view_.isNull() && view_->model() != nullptr &&
               row_ < view_->model()->rowCount(view_->rootIndex());
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return view_.isNull() ? nullptr : view_->window()->windowHandle();
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid())
            return {};
        QStringList cells;
        const QAbstractItemModel* model = view_->model();
        for (int column = 0; column < model->columnCount(view_->rootIndex()); ++column)
            cells << model->index(row_, column, view_->rootIndex()).data().toString();
        return cells.join(QLatin1Char(' '));
    }

    QRect rect() const override {
        if (!isValid())
            return {};
        QRect r = view_->visualRect(view_->model()->index(row_, 0, view_->rootIndex()));
        r.setLeft(0);
        r.setWidth(view_->viewport()->width());
        return QRect(view_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid())
            return s;
        const QModelIndex index = view_->model()->index(row_, 0, view_->rootIndex());
        s.selectable = true;
        s.focusable = true;
        s.selected = view_->selectionModel() != nullptr &&
                     view_->selectionModel()->isRowSelected(row_, view_->rootIndex());
        s.focused = view_->hasFocus() && view_->currentIndex().row() == row_;
        s.invisible = !view_->viewport()->rect().intersects(view_->visualRect(index));
        return s;
    }

    int row() const { return row_; }

private:
    QPointer<RowsView> view_;
    int row_;
};

// The list: as many items as rows, made when first asked for.
class RowsInterface final : public QAccessibleWidget {
public:
    explicit RowsInterface(RowsView* view)
        : QAccessibleWidget(view, QAccessible::List),
          changes_(QObject::connect(view, &RowsView::rowsChanged, [this] { forgetRows(); })) {}
    ~RowsInterface() override {
        QObject::disconnect(changes_);
        forgetRows();
    }

    int childCount() const override {
        const RowsView* v = view();
        return v->model() != nullptr ? v->model()->rowCount(v->rootIndex()) : 0;
    }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (const auto id = rows_.constFind(index); id != rows_.cend())
            return QAccessible::accessibleInterface(*id);
        auto* row = new RowInterface(view(), index);
        rows_.insert(index, QAccessible::registerAccessibleInterface(row));
        return row;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (const auto* row = dynamic_cast<const RowInterface*>(child))
            return row->row();
        return QAccessibleWidget::indexOfChild(child);
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const RowsView* v = view();
        const QModelIndex index = v->indexAt(v->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }

private:
    RowsView* view() const { return static_cast<RowsView*>(widget()); }

    void forgetRows() {
        for (const QAccessible::Id id : std::as_const(rows_))
            QAccessible::deleteAccessibleInterface(id);
        rows_.clear();
    }

    QMetaObject::Connection changes_;
    mutable QHash<int, QAccessible::Id> rows_;
};

QAccessibleInterface* rowsFactory(const QString& className, QObject* object) {
    Q_UNUSED(className);
    if (auto* view = qobject_cast<RowsView*>(object))
        return new RowsInterface(view);
    return nullptr;
}

} // namespace

void installRowsAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(rowsFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace widgets
