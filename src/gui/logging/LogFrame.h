#pragma once

#include "core/logging/LogModel.h"

#include <QGroupBox>

class QPushButton;
class QSplitter;

namespace logging {

class LogView;

// A page's log: the list of its readings, in the columns of the chosen family, and the
// "Clear Log" and "Save Log" buttons.
class LogFrame final : public QGroupBox {
    Q_OBJECT
public:
    // The log has the level-probe columns until a family gives it its own.
    explicit LogFrame(QWidget* parent = nullptr);

    // Gives the log the columns of the chosen family. Rows taken under other columns go
    // with them.
    void setColumns(LogModel::Layout columns) { rows_->setLayout(columns); }

    // Shows a log kept elsewhere (the logger's) in place of the frame's own, empty one: the
    // newest reading selected as it comes (without scrolling), "Clear Log" and "Save Log"
    // usable while it has rows.
    void setLog(LogModel& log);
    // The rows behind LogListView.
    LogModel& log() const { return *rows_; }
    LogView* logList() const { return LogListView; }

    // Puts a plot of the log beside the list, in a split the user can drag; PlotBut shows and
    // hides it. Without a plot, or with it hidden, the frame is the list and its buttons.
    void setPlot(QWidget* plot);

    LogView* LogListView;
    QPushButton* ClearLogBut;
    QPushButton* SaveLogBut;
    QPushButton* PlotBut;

private:
    void readingsInserted(int first, int count);
    void showButtons();

    QSplitter* split_;
    LogModel* rows_;
};

} // namespace logging
