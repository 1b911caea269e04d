#include "Controls.h"

#include "DropDown.h"

#include <QAction>
#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace widgets {

namespace {

QString plainLabel(const QString& label) {
    QString text = label;
    text.remove(QLatin1Char('&'));
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

template <typename W>
W* named(W* w, const char* name, const QString& accessible, const QString& toolTip) {
    w->setObjectName(QLatin1String(name));
    w->setAccessibleName(accessible);
    if (!toolTip.isEmpty())
        w->setToolTip(toolTip);
    return w;
}

} // namespace

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& accessibleContext, const QString& toolTip) {
    const QString accessible = accessibleContext.isEmpty()
                                   ? plainLabel(caption)
                                   : plainLabel(accessibleContext) + QLatin1Char(' ') + caption;
    auto* b = named(new QPushButton(caption, parent), name, accessible, toolTip);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* makeTextBox(QWidget* parent, const char* name, const QString& label,
                       const QString& toolTip) {
    return named(new QLineEdit(parent), name, plainLabel(label), toolTip);
}

DropDown* makeDropDown(QWidget* parent, const char* name, const QString& label,
                       const QString& toolTip) {
    return named(new DropDown(parent), name, plainLabel(label), toolTip);
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption,
                        const QString& toolTip) {
    return named(new QCheckBox(caption, parent), name, plainLabel(caption), toolTip);
}

QListWidget* makeListBox(QWidget* parent, const char* name, const QString& label) {
    return named(new QListWidget(parent), name, plainLabel(label), {});
}

QLabel* makeLabel(QWidget* parent, const QString& text) {
    return new QLabel(text, parent);
}

void GridRows::add(const QString& label, QWidget* value, QWidget* first, QWidget* second) {
    if (!label.isEmpty())
        grid_->addWidget(new QLabel(label), row_, column_);
    if (value)
        grid_->addWidget(value, row_, column_ + 1);
    if (first)
        grid_->addWidget(first, row_, column_ + 2);
    if (second)
        grid_->addWidget(second, row_, column_ + 3);
    ++row_;
}

void setEnabled(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* w : widgets)
        w->setEnabled(enabled);
}

void setEnabled(std::initializer_list<QAction*> actions, bool enabled) {
    for (QAction* a : actions)
        if (a)
            a->setEnabled(enabled);
}

void drawShownPageOnly(QTabWidget* tabs) {
    const auto follow = [tabs](int current) {
        for (int i = 0; i < tabs->count(); ++i) {
            QWidget* page = tabs->widget(i);
            if (page->updatesEnabled() != (i == current))
                page->setUpdatesEnabled(i == current);
        }
    };
    follow(tabs->currentIndex());
    QObject::connect(tabs, &QTabWidget::currentChanged, tabs, follow);
}

void preferUnshapedText(QWidget* window) {
    QFont font = window->font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    window->setFont(font);
}

void showSensorPresence(QTabWidget* tabs, int p, bool present) {
    tabs->setTabEnabled(p, present);
    tabs->tabBar()->setAccessibleTabName(
        p, present ? QString() : QStringLiteral("%1, no sensor").arg(tabs->tabText(p)));
}

void clearRowTexts(QTreeWidget* list, int row) {
    if (QTreeWidgetItem* item = list->topLevelItem(row))
        for (int c = 1; c < list->columnCount(); ++c)
            item->setText(c, QString());
}

void setRowText(QTreeWidget* list, int row, int column, const QString& text) {
    if (QTreeWidgetItem* item = list->topLevelItem(row))
        item->setText(column, text);
}

} // namespace widgets
