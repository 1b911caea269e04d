#pragma once

#include <QWidget>

namespace levelprobe {
class LevelPage;
}
namespace rotary {
class RotaryPage;
}
namespace logging {
class LogFrame;
}
namespace plot {
class TrendPlot;
}

namespace app {

// One page of the sensor tab control: the frames of both families in the same place (only
// the chosen family's are shown) above the page's log.
class SensorPage final : public QWidget {
    Q_OBJECT
public:
    explicit SensorPage(QWidget* parent = nullptr);

    void showFamily(bool rotary);

    levelprobe::LevelPage* level;
    rotary::RotaryPage* rotary;
    logging::LogFrame* log;
    plot::TrendPlot* trend; // the plot of the family's log, beside the list
};

} // namespace app
