#pragma once

#include <QGroupBox>

class QPushButton;
class QStandardItemModel;
class QTreeView;

namespace logging {

// A page's log: the level-probe and rotary log lists (one of them shown, by family) and
// the "Clear Log" and "Save Log" buttons.
class LogFrame final : public QGroupBox {
    Q_OBJECT
public:
    explicit LogFrame(QWidget* parent = nullptr);

    // Shows the list of the family; hides the other.
    void showFamily(bool rotary);

    QTreeView* LogListView;
    QTreeView* RotaryLogListView;
    QPushButton* ClearLogBut;
    QPushButton* SaveLogBut;

private:
    QStandardItemModel* levelRows_;
    QStandardItemModel* rotaryRows_;
};

} // namespace logging
