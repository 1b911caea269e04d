#pragma once

#include "core/platform/SysData.h"

#include <QtGlobal>
#include <functional>

class QAction;
class QLabel;
class QWidget;

namespace platform {
class Dialogs;
class SerialPort;
} // namespace platform
namespace app {

class PortMenu;
class TimingWindow;

// The serial connection and the settings file: reads the stored port and timings at start,
// opens a port (the first success runs the bus scan), and stores a port chosen from the
// menu together with the timings of the timing window.
class Connection {
public:
    // The window's controls a port opening changes.
    struct Controls {
        QWidget* SensorTab = nullptr;
        QAction* mnuQueryAddress = nullptr;
        QLabel* connectionPanel = nullptr; // status-bar panel 2
    };

    Connection(platform::SerialPort& port, platform::Dialogs& dialogs, PortMenu& menu,
               TimingWindow& timing, platform::SysData settings, const Controls& controls,
               std::function<void()> Poll_Sensors);

    // Reads the settings file, puts the timings into the timing window and into effect,
    // checks the stored port in the menu and opens it.
    void ReadSysData();
    // Stores the port and the timing window's four values; on failure tells the user why
    // and returns false (the values in effect stay).
    bool WriteSysData(int portNumber);
    // Closes the port if open and opens port n; the first success runs the scan.
    bool OpenPort(int n);
    // A port chosen from the menu: check it, store it, open it.
    void mnuCom_Click(int n);
    // The open port's device failed: says so once and shows the port closed; the user
    // picks a port again from the menu.
    void portLost();

    const platform::SysData& settings() const { return settings_; }

    qint16 CommPort = 1;
    // 1 until a port opens for the first time; that opening runs the first scan.
    quint8 ScanOnConnect = 0;

private:
    platform::SerialPort& port_;
    platform::Dialogs& dialogs_;
    PortMenu& menu_;
    TimingWindow& timing_;
    platform::SysData settings_;
    Controls controls_;
    std::function<void()> Poll_Sensors_;
};

} // namespace app
