#include "LogFrame.h"

#include "LogModel.h"
#include "LogView.h"
#include "platform/Controls.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
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
    levelRows_ = new LogModel(LogModel::Layout::LevelProbe, this);
    rotaryRows_ = new LogModel(LogModel::Layout::Rotary, this);
    LogListView = makeLogList(this, "LogListView", levelRows_);
    RotaryLogListView = makeLogList(this, "RotaryLogListView", rotaryRows_);
    ClearLogBut = platform::makeButton(this, "ClearLogBut", QStringLiteral("Clear Log"), {},
                                       QStringLiteral("Clear Log List."));
    SaveLogBut = platform::makeButton(this, "SaveLogBut", QStringLiteral("Save Log"), {},
                                      QStringLiteral("Save Log File."));
    ClearLogBut->setEnabled(false);
    SaveLogBut->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ClearLogBut);
    buttons->addWidget(SaveLogBut);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LogListView);
    layout->addWidget(RotaryLogListView);
    layout->addLayout(buttons);
}

void LogFrame::showFamily(bool rotary) {
    RotaryLogListView->setVisible(rotary);
    LogListView->setVisible(!rotary);
}

} // namespace logging
