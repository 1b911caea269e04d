#pragma once

#include "Calibration.h"
#include "Filter.h"
#include "LevelCommands.h"
#include "LevelView.h"
#include "Reset.h"
#include "core/levelprobe/CalibrationState.h"
#include "core/levelprobe/LevelRecord.h"
#include "core/levelprobe/LevelSensors.h"
#include "gui/widgets/WindowControls.h"

#include <array>
#include <functional>
#include <optional>

class QTreeWidget;

namespace logging {
class Logger;
}
namespace platform {
class Dialogs;
}
namespace sdilink {
class Link;
}

namespace levelprobe {

class LevelPage;

// The level probes' pages: they show the sensors' records and follow their page locks, and
// their controls call the sensors' requests; the page move after an address change, the
// logging periods, calibration, reset and filter.
class LevelFamily {
public:
    LevelFamily(LevelSensors& sensors, std::array<LevelPage*, 10> pages,
                widgets::WindowControls window, platform::Dialogs& dialogs, QTreeWidget* ListView);

    // The address chosen on page p's list, if any; `set` is called with the page whose
    // address "Set" button was clicked.
    std::optional<int> selectedAddress(int p) const;
    void onAddressSet(std::function<void(int page)> set);

    void LockLevelPage(int p);
    void UnlockLevelPage(int p);
    // Shows page q with the record moved there from p (an address change).
    void MoveLevelPage(int p, int q);

    // Rebuilds page p's logging-period list from its sample rate; a running log keeps its
    // period.
    void FillLogPeriods(int p);

    LevelSensors& sensors() const { return sensors_; }

    LevelPage& page(int p) const { return *pages_.at(static_cast<size_t>(p)); }
    LevelCommands& commands() { return commands_; }
    logging::Logger& logger() const;
    sdilink::Link& link() const;
    QTreeWidget* ListView() const { return listView_; }
    CalibrationState& calibration() const;
    Calibration& calibrationMode() { return calibrationMode_; }
    Filter& filter() { return filter_; }
    Reset& reset() { return reset_; }
    platform::Dialogs& dialogs() const { return dialogs_; }
    const widgets::WindowControls& windowControls() const { return window_; }
    // The page shown.
    int currentPage() const;

private:
    void setWindowControls(bool enabled);

    void showFlags(int p);
    void followSensors();

    LevelSensors& sensors_;
    std::array<LevelPage*, 10> pages_;
    widgets::WindowControls window_;
    platform::Dialogs& dialogs_;
    QTreeWidget* listView_;
    LevelView view_;
    LevelCommands commands_;
    Calibration calibrationMode_;
    Filter filter_;
    Reset reset_;
};

} // namespace levelprobe
