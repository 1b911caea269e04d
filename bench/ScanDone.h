#pragma once

#include "core/link/Link.h"
#include "gui/app/MainWindow.h"
#include "gui/discovery/Scanner.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace bench {

// A scan goes on from the event loop after load() or a click on "Re-Scan Sensors" returns:
// runs it until it is over and the bus is free.
inline void finishScan(app::MainWindow& window) {
    while (window.scanner().scanning() || window.link().busy())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace bench
