#pragma once

#include "RotaryCommands.h"
#include "RotaryView.h"
#include "core/rotary/RotaryRecord.h"
#include "core/rotary/RotarySensors.h"
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

namespace rotary {

class RotaryPage;

// The rotary encoders' pages: they show the sensors' records and follow their page locks,
// and their controls call the sensors' requests; the page move after an address change.
class RotaryFamily {
public:
    RotaryFamily(RotarySensors& sensors, std::array<RotaryPage*, 10> pages,
                 widgets::WindowControls window, platform::Dialogs& dialogs,
                 QTreeWidget* RotaryListView);

    // The address chosen on page p's list, if any; `set` is called with the page whose
    // address "Set" button was clicked.
    std::optional<int> selectedAddress(int page) const;
    void onAddressSet(std::function<void(int page)> set);

    void LockRotaryPage(int p);
    void UnlockRotaryPage(int p);
    // Shows page q with the record moved there from p (an address change).
    void MoveRotaryPage(int p, int q);

    RotarySensors& sensors() const { return sensors_; }
    RotaryPage& page(int p) const { return *pages_.at(static_cast<size_t>(p)); }
    RotaryCommands& commands() { return commands_; }
    logging::Logger& logger() const { return sensors_.logger(); }
    sdilink::Link& link() const { return sensors_.link(); }
    QTreeWidget* RotaryListView() const { return listView_; }
    QTabWidget* SensorTab() const { return window_.SensorTab; }

private:
    void setPageControls(int p, bool enabled);
    void followSensors();

    RotarySensors& sensors_;
    std::array<RotaryPage*, 10> pages_;
    widgets::WindowControls window_;
    QTreeWidget* listView_;
    RotaryView view_;
    RotaryCommands commands_;
};

} // namespace rotary
