#pragma once

#include <QString>
#include <initializer_list>

class QAction;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QWidget;

namespace widgets {

class DropDown;

// Builders for the controls of the pages. Each control gets its name as objectName (so it
// can be found by name), an accessible name (its caption, or the label beside it) and its
// tooltip.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& accessibleContext = {}, const QString& toolTip = {});
QLineEdit* makeTextBox(QWidget* parent, const char* name, const QString& label,
                       const QString& toolTip = {});
DropDown* makeDropDown(QWidget* parent, const char* name, const QString& label,
                       const QString& toolTip = {});
QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption,
                        const QString& toolTip = {});
QListWidget* makeListBox(QWidget* parent, const char* name, const QString& label);
QLabel* makeLabel(QWidget* parent, const QString& text);

// Fills a grid with labelled rows: a label, the value control, then up to two buttons,
// starting at a given column so that a frame can hold two columns of rows.
class GridRows {
public:
    explicit GridRows(QGridLayout* grid, int column = 0) : grid_(grid), column_(column) {}
    void add(const QString& label, QWidget* value, QWidget* first = nullptr,
             QWidget* second = nullptr);
    int rows() const { return row_; }

private:
    QGridLayout* grid_;
    int column_;
    int row_ = 0;
};

// Enables or disables each control in turn; null menu actions (menus a family does not
// show) are skipped.
void setEnabled(std::initializer_list<QWidget*> widgets, bool enabled);
void setEnabled(std::initializer_list<QAction*> actions, bool enabled);

// A tab widget turns the drawing of its pages off and on around every page switch, which
// goes through every widget of every page. From now on the pages not shown have their
// drawing turned off on their own (nothing of a hidden page is drawn anyway), which leaves
// them out; the page shown has it on.
void drawShownPageOnly(QTabWidget* tabs);

// Latin text drawn without the font's optional shaping rules (ligatures, contextual forms):
// one of the costliest steps of drawing and measuring the window's texts, which are in Latin
// script. Scripts that need shaping to be read are shaped as before. Set on a window, it holds
// for all of its controls.
void preferUnshapedText(QWidget* window);

// Enables sensor p's tab when a sensor answers there and greys it when none does; a greyed
// tab's accessible name says so ("Sensor 4, no sensor"), since assistive technology does not
// read a tab's enabled state.
void showSensorPresence(QTabWidget* tabs, int p, bool present);

// Blanks the sub-items of a sensor-list row; the row's text (the address) stays.
void clearRowTexts(QTreeWidget* list, int row);
// Sets one sub-item of a sensor-list row; a row the list does not have is skipped.
void setRowText(QTreeWidget* list, int row, int column, const QString& text);

} // namespace widgets
