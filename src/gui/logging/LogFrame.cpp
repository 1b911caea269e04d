#include "LogFrame.h"

#include "LogView.h"
#include "core/logging/LogModel.h"
#include "gui/widgets/Controls.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace logging {

namespace {

LogView* makeLogList(QWidget* parent, const char* name, LogModel* model) {
    auto* view = new LogView(parent);
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(QStringLiteral("Log"));
    view->setAlternatingRowColors(true);
    view->setModel(model);
    return view;
}

} // namespace

LogFrame::LogFrame(QWidget* parent) : QGroupBox(QStringLiteral("Log"), parent) {
    setObjectName(QStringLiteral("LogFrame"));
    rows_ = new LogModel(LogModel::Layout::LevelProbe, this);
    LogListView = makeLogList(this, "LogListView", rows_);
    ClearLogBut = widgets::makeButton(this, "ClearLogBut", QStringLiteral("Clear Log"), {},
                                      QStringLiteral("Clear Log List."));
    SaveLogBut = widgets::makeButton(this, "SaveLogBut", QStringLiteral("Save Log"), {},
                                     QStringLiteral("Save Log File."));
    ClearLogBut->setEnabled(false);
    SaveLogBut->setEnabled(false);
    PlotBut = widgets::makeButton(this, "PlotBut", QStringLiteral("Plot"), {},
                                  QStringLiteral("Show the log as a plot beside the list."));
    PlotBut->setCheckable(true);
    PlotBut->hide();

    split_ = new QSplitter(Qt::Horizontal, this);
    split_->addWidget(LogListView);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PlotBut);
    buttons->addStretch();
    buttons->addWidget(ClearLogBut);
    buttons->addWidget(SaveLogBut);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split_);
    layout->addLayout(buttons);
}

void LogFrame::setLog(LogModel& log) {
    if (rows_->parent() == this)
        delete rows_;
    rows_ = &log;
    LogListView->setModel(rows_);
    connect(rows_, &LogModel::readingsInserted, this, &LogFrame::readingsInserted);
    for (const auto changed : {&LogModel::rowsInserted, &LogModel::rowsRemoved})
        connect(rows_, changed, this, &LogFrame::showButtons);
    connect(rows_, &LogModel::modelReset, this, &LogFrame::showButtons);
    showButtons();
}

void LogFrame::readingsInserted(int first, int count) {
    if (first + count != rows_->rowCount())
        return; // older readings joined the log
    // Selecting does not scroll the list. A selected newest row stays selected as the new
    // reading takes its place (see LogModel::addRow).
    QItemSelectionModel* selection = LogListView->selectionModel();
    const QItemSelection selected = selection->selection();
    const bool topRowOnly = selected.size() == 1 && selected.first().top() == 0 &&
                            selected.first().bottom() == 0 && selection->isRowSelected(0);
    if (!topRowOnly)
        selection->select(rows_->index(0, 0),
                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void LogFrame::showButtons() {
    const bool rows = rows_->rowCount() > 0;
    ClearLogBut->setEnabled(rows);
    SaveLogBut->setEnabled(rows);
}

void LogFrame::setPlot(QWidget* plot) {
    plot->hide();
    split_->addWidget(plot);
    connect(PlotBut, &QPushButton::toggled, plot, [this, plot](bool on) {
        plot->setVisible(on);
        // Shown the first time: half the width each; the user drags the split from there,
        // the list away altogether if he likes.
        const int at = split_->indexOf(plot);
        if (on && split_->sizes().value(at) == 0) {
            const int half = split_->width() / 2;
            split_->setSizes({half, half});
        }
    });
    PlotBut->show();
}

} // namespace logging
