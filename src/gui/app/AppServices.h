#pragma once

#include "core/platform/Services.h"
#include "core/platform/Timers.h"

#include <QString>
#include <QUrl>
#include <functional>

namespace platform {
class Dialogs;
class PortMap;
class SerialPort;
} // namespace platform

namespace app {

// The platform facilities the main window works through: the real ones in the program,
// fakes in tests.
struct AppServices {
    platform::SerialPort* port = nullptr;
    platform::Dialogs* dialogs = nullptr;
    // Times break and mark.
    platform::Pause pause;
    platform::Clock clock;
    // The link's time-out timers; null means precise Qt timers.
    platform::Timers* timers = nullptr;
    // The port numbers' devices, for the port menu's device names; null leaves the menu
    // unlabelled and every item enabled.
    const platform::PortMap* ports = nullptr;
    // The settings file; empty means its usual place (see SysData::defaultPath()).
    QString settingsFile;
    // Read the settings file but never write it (a demonstration run).
    bool settingsReadOnly = false;
    // The folder of the logs' journals; empty means the per-user state folder (see
    // logging::defaultJournalFolder()).
    QString journalFolder;
    // Shows a folder in the desktop's file manager; empty means QDesktopServices::openUrl.
    std::function<bool(const QUrl&)> openUrl;
};

} // namespace app
