#pragma once

class QAction;
class QPushButton;
class QTabWidget;

namespace widgets {

// The window-level controls that the page lock and unlock rules touch. Menus are given by
// their menu-bar actions.
struct WindowControls {
    QTabWidget* SensorTab = nullptr;
    QPushButton* ScanBut = nullptr;
    QAction* mnuCommsPort = nullptr;
    QAction* mnuQueryAddress = nullptr;
    QAction* mnuFilter = nullptr;
    QAction* mnuReset = nullptr;
    QAction* mnuHelp = nullptr;
    QAction* mnuUserCommand = nullptr;
};

} // namespace widgets
