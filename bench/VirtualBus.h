#pragma once

#include "Bus.h"
#include "BusPort.h"
#include "FakeDialogs.h"
#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "core/platform/SysData.h"
#include "gui/app/AppServices.h"

#include <QDateTime>
#include <QTemporaryDir>

namespace bench {

// A bus paced at 1200 baud on a clock that jumps from one event to the next, and the
// services a main window needs to use it: the tool's timers and clock follow the bus's
// clock (from epoch), its short blocking waits (break, mark, data-request pause) take no
// time, dialogs answer OK, settings are COM1 with the default timings in a temporary file.
struct VirtualBus {
    explicit VirtualBus(const QDateTime& epoch) {
        clock.setAutoAdvance(true);
        bus.setPacing(true);
        services.port = &port;
        services.dialogs = &dialogs;
        services.pause = [](int, QObject*, std::function<void()> then) { then(); };
        services.clock = [this, epoch] {
            return epoch.addMSecs(
                std::chrono::duration_cast<std::chrono::milliseconds>(clock.now()).count());
        };
        services.timers = &timers;
        // Drawing costs nothing here: the window is drawn four times a second of bus time,
        // as on a fast machine, however slowly a profiler makes it draw.
        services.settingsFile = settingsDir.filePath(QStringLiteral("sysfile.cfg"));
        services.journalFolder = settingsDir.filePath(QStringLiteral("journal"));
        platform::SysData(services.settingsFile).write({1, 20, 15, 200, 400});
    }

    sim::ManualScheduler clock;
    sim::SchedulerTimers timers{clock};
    sim::Bus bus{clock};
    sim::BusPort port{bus};
    QTemporaryDir settingsDir;
    testing::FakeDialogs dialogs;
    app::AppServices services;
};

} // namespace bench
