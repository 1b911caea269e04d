#include "SensorLists.h"

#include "gui/widgets/ColumnFit.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/SensorColumns.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>

namespace discovery {

namespace {

QTreeWidget* makeList(QWidget* parent, const char* name, const QStringList& columns) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setAccessibleName(QStringLiteral("Sensors"));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setHeaderLabels(columns);
    list->header()->setStretchLastSection(true);
    // Ten rows: the columns follow their texts.
    new widgets::ColumnFit(list);
    return list;
}

void fillRows(QTreeWidget* list) {
    list->clear();
    const int columns = list->columnCount();
    for (int i = 0; i <= 9; ++i) {
        auto* row = new QTreeWidgetItem(list);
        row->setText(0, QString::number(i) + QString(9, QLatin1Char(' ')));
        for (int c = 1; c < columns; ++c)
            row->setText(c, QString());
    }
}

} // namespace

SensorLists::SensorLists(QWidget* parent) : QObject(parent) {
    ListView = makeList(parent, "ListView", widgets::levelColumnTitles());
    RotaryListView = makeList(parent, "RotaryListView", widgets::rotaryColumnTitles());
}

void SensorLists::showFamily(bool rotary) {
    rotary_ = rotary;
    ListView->setVisible(!rotary);
    RotaryListView->setVisible(rotary);
    QTreeWidget* shown = rotary ? RotaryListView : ListView;
    fillRows(shown);
    // Tall enough for the ten rows, no taller.
    const int rows = 10 * std::max(shown->sizeHintForRow(0), shown->fontMetrics().height());
    shown->setFixedHeight(shown->header()->sizeHint().height() + rows + 2 * shown->frameWidth() +
                          shown->horizontalScrollBar()->sizeHint().height());
}

void SensorLists::ClearLevelRow(int page) {
    widgets::clearRowTexts(ListView, page);
}

void SensorLists::ClearRotaryRow(int page) {
    widgets::clearRowTexts(RotaryListView, page);
}

void SensorLists::selectRow(int page) {
    QTreeWidget* list = rotary_ ? RotaryListView : ListView;
    list->setCurrentItem(list->topLevelItem(page));
}

} // namespace discovery
