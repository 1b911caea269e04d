#pragma once

#include <QGroupBox>

class QPushButton;
class QSplitter;

namespace logging {

class LogModel;
class LogView;

// A page's log: the level-probe and rotary log lists (one of them shown, by family) and
// the "Clear Log" and "Save Log" buttons.
class LogFrame final : public QGroupBox {
    Q_OBJECT
public:
    explicit LogFrame(QWidget* parent = nullptr);

    // Shows the list of the family; hides the other.
    void showFamily(bool rotary);

    // The rows behind LogListView and RotaryLogListView.
    LogModel& levelLog() const { return *levelRows_; }
    LogModel& rotaryLog() const { return *rotaryRows_; }
    LogModel& log(bool rotary) const { return rotary ? *rotaryRows_ : *levelRows_; }
    LogView* logList(bool rotary) const { return rotary ? RotaryLogListView : LogListView; }

    // Puts a plot of the log beside the list, in a split the user can drag; PlotBut shows and
    // hides it. Without a plot, or with it hidden, the frame is the list and its buttons.
    void setPlot(QWidget* plot);

    LogView* LogListView;
    LogView* RotaryLogListView;
    QPushButton* ClearLogBut;
    QPushButton* SaveLogBut;
    QPushButton* PlotBut;

private:
    QSplitter* split_;
    LogModel* levelRows_;
    LogModel* rotaryRows_;
};

} // namespace logging
