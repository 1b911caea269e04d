#pragma once

#include "AppServices.h"
#include "StartupWindow.h"
#include "core/levelprobe/CalibrationState.h"
#include "core/logging/LoggingState.h"
#include "core/report/ConfigReport.h"
#include "gui/widgets/WindowControls.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QTabWidget;

namespace sdilink {
class Link;
} // namespace sdilink
namespace platform {
class Dialogs;
} // namespace platform
namespace protocol {
class Decoder;
class Family;
class ScanSeries;
} // namespace protocol
namespace console {
class UserCommand;
}
namespace configure {
class Configuring;
class SettingsAccess;
} // namespace configure
namespace discovery {
class AddressChange;
class Scanner;
class SensorLists;
} // namespace discovery
namespace logging {
class Logger;
}
namespace logexport {
class LogExporter;
}
namespace session {
class Session;
}
namespace help {
class HelpWindow;
}
namespace levelprobe {
class LevelFamily;
}
namespace rotary {
class RotaryFamily;
}

namespace app {

class AboutWindow;
class Journalling;
class TimingWindow;
class Connection;
class PortMenu;
class SensorPage;

// The main window. It builds the window's controls and wires the subsystems together; the
// logic lives in the subsystems.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const AppServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The family is chosen once, before load().
    void setLevelProbeSensorType() { SensorFamily = StartupWindow::Family::LevelProbe; }
    void setRotaryEncoderSensorType() { SensorFamily = StartupWindow::Family::RotaryEncoder; }
    bool isRotary() const { return SensorFamily == StartupWindow::Family::RotaryEncoder; }

    // Shows the chosen family's controls, fills the lists, finds the serial ports, shows the
    // window and opens the stored port.
    void load();

    SensorPage* page(int i) const { return pages_.at(static_cast<size_t>(i)); }
    sdilink::Link& link() { return *link_; }
    // The chosen family's sensors, and their pages.
    protocol::Family& family() { return *family_; }
    levelprobe::LevelFamily& levelFamily() { return *levelFamily_; }
    rotary::RotaryFamily& rotaryFamily() { return *rotaryFamily_; }
    discovery::SensorLists& lists() { return *lists_; }
    logging::Logger& logger() { return *logger_; }
    discovery::Scanner& scanner() { return *scanner_; }
    discovery::AddressChange& addressChange() { return *addressChange_; }
    console::UserCommand& userCommand() { return *userCommand_; }
    const logging::LoggingState& loggingState() const;
    levelprobe::CalibrationState& calibrationState() { return calibration_; }
    const widgets::WindowControls& windowControls() const { return window_; }
    // The port menu, the connection (CommPort, ScanOnConnect) and the timing window, which
    // the user-command window shows modally with exec().
    PortMenu& portMenu() { return *portMenu_; }
    Connection& connection() { return *connection_; }
    TimingWindow& Timing() { return *timing_; }
    Journalling& journalling() { return *journalling_; }
    configure::Configuring& configuring() { return *configuring_; }
    session::Session& session() { return *session_; }
    // The dialogs the window's subsystems show, as the bus sees them.
    platform::Dialogs& dialogs() { return *dialogs_; }

    // The encoder converter is worked as a level probe.
    StartupWindow::Family SensorFamily = StartupWindow::Family::LevelProbe;

    // Menus.
    QMenu* mnuFile;
    QAction* mnuSaveAs;
    QAction* mnuApplyConfiguration;
    QAction* mnuCompareConfiguration;
    QMenu* mnuCommsPort;
    std::array<QAction*, 16> mnuCom{};
    QAction* mnuReset;
    QAction* mnuFilter;
    QAction* mnuQueryAddress;
    QAction* mnuUserCommand;
    QMenu* mnuHelp;
    QAction* submnuHelp;
    QAction* submnuAbout;

    QTabWidget* SensorTab;
    QPushButton* ScanBut;
    QCheckBox* CalibrateCheck;
    QListView* CommsList;
    QPushButton* ButClearComms;
    std::array<QLabel*, 3> StatusBar1{}; // the three panels
    QLabel* BusWaitPanel = nullptr;      // "Waiting for the bus..."

    QTimer SecondTimer;
    QTimer ClockTimer;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    void buildStatusBar();
    void loadLevelProbeFamily();
    void loadRotaryFamily();
    // The session over the chosen family's settings, and the configuration windows on it.
    void startSession(std::unique_ptr<configure::SettingsAccess> settings);
    void connectLogging();
    void ClockTimer_Timer();
    void mnuSaveAs_Click();
    void submnuHelp_Click();
    void submnuAbout_Click();
    void Poll_Sensors();

    AppServices services_;
    std::unique_ptr<sdilink::Link> link_;
    // The services' dialogs, holding queued sequences while the person answers.
    std::unique_ptr<platform::Dialogs> dialogs_;
    // A scan shows its progress in a window of its own; behind it the main window is drawn at
    // least every two seconds, drawing taking a quarter percent of the processor.
    std::unique_ptr<protocol::Family> family_;
    std::unique_ptr<levelprobe::LevelFamily> levelFamily_;
    std::unique_ptr<rotary::RotaryFamily> rotaryFamily_;
    std::unique_ptr<configure::SettingsAccess> settings_; // the chosen family's
    std::unique_ptr<session::Session> session_;
    std::unique_ptr<configure::Configuring> configuring_;
    // The configuration report of the chosen family's sensor at an address.
    std::function<report::ConfigReport(int address)> report_;
    std::unique_ptr<protocol::Decoder> decoder_;
    std::unique_ptr<protocol::ScanSeries> scanSeries_; // the chosen family's
    std::unique_ptr<discovery::Scanner> scanner_;
    std::unique_ptr<discovery::AddressChange> addressChange_;
    std::unique_ptr<console::UserCommand> userCommand_;
    TimingWindow* timing_ = nullptr;
    std::unique_ptr<PortMenu> portMenu_;
    std::unique_ptr<Connection> connection_;
    discovery::SensorLists* lists_ = nullptr;
    std::array<SensorPage*, 10> pages_{};
    widgets::WindowControls window_;
    std::unique_ptr<logging::Logger> logger_;
    std::unique_ptr<logexport::LogExporter> exporter_;
    std::unique_ptr<Journalling> journalling_;
    levelprobe::CalibrationState calibration_;
    QPointer<AboutWindow> about_;
    QPointer<help::HelpWindow> help_;
};

} // namespace app
