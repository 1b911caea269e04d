#pragma once

#include <QString>
#include <QStringList>
#include <array>

class QAction;

namespace platform {
class PortMap;
}

namespace app {

// The sixteen items of the "Comms Port" menu and the serial devices found at start.
//
// Each item COMj is labelled with every stored device name that contains "(COMj)": the
// caption becomes "COMj - name" (more names append more " - name" parts in index order),
// and an item no name mentions is disabled. The closing parenthesis keeps "(COM1)" from
// matching "(COM10)".
class PortMenu {
public:
    static constexpr int kPorts = 16;

    // The items are mnuCom(1) ... mnuCom(16), checkable. ports may be null: then no device
    // list is available and the menu is left as it is.
    PortMenu(const std::array<QAction*, kPorts>& items, const platform::PortMap* ports);

    // Asks the port map for the device names and labels the menu.
    void DiscoverPorts();
    // Labels the menu from display names in the system's order. When the list is not
    // complete (the system could not be asked), items no name mentions stay usable.
    void DiscoverPorts(const QStringList& deviceNames, bool complete = true);

    // Checks item n and unchecks the other fifteen (n out of range unchecks all).
    void checkOnly(int n);
    void uncheck(int n);

    QAction* item(int n) const { return items_.at(static_cast<size_t>(n - 1)); }

    // The names stored by the last discovery: at most 16, those containing "COM"
    // (upper case), the rest empty.
    std::array<QString, kPorts> PortNames;

private:
    std::array<QAction*, kPorts> items_;
    const platform::PortMap* ports_;
};

} // namespace app
