#pragma once

#include <QString>
#include <functional>

namespace levelprobe {

// What the level-probe pages call in the subsystems that sit beside or above them: logging,
// the scan's page re-query and logging-period rebuild, and the filter window.
struct LevelHooks {
    std::function<void(int tab)> LevelMeasure;
    std::function<void(int tab, const QString& pressure, const QString& pressureUnits,
                       const QString& temperature, const QString& temperatureUnits)>
        AddLogRow;
    // Moves a page's log rows to another page, with its "Clear Log" and "Save Log" state.
    std::function<void(int from, int to)> moveLog;
    std::function<void(int tab)> RequeryLevelPage;
    std::function<void(int tab)> FillLogPeriods;
    // The filter window shows a filter answer: readings, interval and the sample-rate text.
    std::function<void(int readings, int interval, const QString& sampleRate)> showFilter;
};

} // namespace levelprobe
