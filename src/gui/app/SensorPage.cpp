#include "SensorPage.h"

#include "gui/levelprobe/LevelPage.h"
#include "gui/logging/LogFrame.h"
#include "gui/plot/TrendPlot.h"
#include "gui/rotary/RotaryPage.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace app {

SensorPage::SensorPage(QWidget* parent)
    : QWidget(parent), level(new levelprobe::LevelPage(this)), rotary(new rotary::RotaryPage(this)),
      log(new logging::LogFrame(this)), trend(new plot::TrendPlot) {
    log->setPlot(trend);
    // The family's frames on top at their natural height; the log takes the rest.
    auto* frames = new QHBoxLayout;
    frames->addWidget(level);
    frames->addWidget(rotary);
    frames->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addWidget(log, 1);
    // Neither family's frames are shown until the family is known.
    level->hide();
    rotary->hide();
}

void SensorPage::showFamily(bool isRotary) {
    rotary->setVisible(isRotary);
    level->setVisible(!isRotary);
    level->ParameterFrame->setVisible(!isRotary);
    level->CalibrateFrame->setVisible(false);
    log->setColumns(isRotary ? logging::LogModel::Layout::Rotary
                             : logging::LogModel::Layout::LevelProbe);
    trend->setLog(&log->log());
}

} // namespace app
