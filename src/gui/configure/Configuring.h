#pragma once

#include "ConfigureWindow.h"
#include "core/configure/SettingsAccess.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QTabWidget;
class QWidget;

namespace platform {
class Dialogs;
}

namespace configure {

// "File > Apply Configuration..." and "File > Compare Configuration...": reads a saved
// configuration, refusing a file that is no configuration report or one of the other
// family, and opens the window on the sensor of the page shown.
class Configuring final : public QObject {
    Q_OBJECT
public:
    // The page shown and the sensors found are those of the tabs.
    Configuring(SettingsAccess& access, sdilink::Link& link, platform::Dialogs& dialogs,
                QTabWidget* tabs, QWidget* parent);
    ~Configuring() override;

    void mnuApplyConfiguration_Click();
    void mnuCompareConfiguration_Click();
    // The window goes with the main window (an apply running has been abandoned).
    void closeWindow();

    // The window open, or null.
    ConfigureWindow* window() const { return window_; }
    // A configuration file as the family's report, or empty after a message saying why.
    std::optional<report::ReadReport> readFile(const QString& title, const QString& path);

private:
    ConfigureWindow* openWindow(bool applying);
    std::optional<report::ReadReport> chooseFile(const QString& title, QString* name);

    SettingsAccess& access_;
    sdilink::Link& link_;
    platform::Dialogs& dialogs_;
    QTabWidget* tabs_;
    QWidget* parent_;
    QPointer<ConfigureWindow> window_;
};

} // namespace configure
