#pragma once

// The main window on a bus for end-to-end tests: the simulated bus in this process or a
// scripted fake port, the tool's timers and the bus on one manual clock.

#include "Bus.h"
#include "BusPort.h"
#include "Fixtures.h"
#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "TrafficRecord.h"
#include "core/link/Link.h"
#include "core/platform/SysData.h"
#include "gui/app/MainWindow.h"
#include "gui/discovery/Scanner.h"
#include "gui/widgets/DropDown.h"

#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>
#include <optional>

using app::MainWindow;

inline constexpr int kTimeout = 100; // command time-out of these tests, in ms

// The time of a test: the bus, the scripted sensors and the tool's time-outs run on one
// manual clock that jumps from one due event to the next, so nothing races a real timer.
struct VirtualTime {
    VirtualTime() { clock.setAutoAdvance(true); }
    sim::ManualScheduler clock;
    sim::SchedulerTimers timers{clock};
};

inline VirtualTime& virtualTime() {
    static VirtualTime time;
    return time;
}

// A window on the given port, level-probe family, whose stored settings hold COM1 and a
// short command time-out; load() opens the port and so runs the first scan.
inline std::unique_ptr<MainWindow> makeWindow(testing::TestServices& t, platform::SerialPort& port,
                                              VirtualTime& time = virtualTime()) {
    app::AppServices services = t.services();
    services.port = &port;
    services.timers = &time.timers;
    platform::SysData(services.settingsFile).write({1, 0, 0, 0, kTimeout});
    auto w = std::make_unique<MainWindow>(services);
    w->setLevelProbeSensorType();
    return w;
}

// Lets the window's sequences (the first scan, a re-read) run to their end.
inline bool settle(MainWindow& w) {
    return testing::waitUntil([&w] { return !w.scanner().scanning() && !w.link().busy(); });
}

inline std::unique_ptr<MainWindow> loadWindow(testing::TestServices& t, platform::SerialPort& port,
                                              VirtualTime& time = virtualTime()) {
    auto w = makeWindow(t, port, time);
    w->load();
    settle(*w);
    return w;
}

inline QStringList sentRequests(MainWindow& w) {
    QStringList sent;
    for (const QString& line : w.link().commsLog().lines())
        if (line.contains(" --> "))
            sent << line.section(" --> ", 1);
    return sent;
}

// The simulated bus in this process, its clock jumping from one event to the next.
struct SimBus {
    SimBus() { bus.setPacing(false); }
    VirtualTime time;
    sim::Bus bus{time.clock};
    sim::BusPort port{bus};
};

inline std::unique_ptr<MainWindow> loadWindow(testing::TestServices& t, SimBus& sim) {
    return loadWindow(t, sim.port, sim.time);
}

// Picks an address in a page's address list and presses its button: the message the change
// ended with once the bus is free, or an empty text.
inline QString chooseAddress(MainWindow& w, testing::TestServices& t, SimBus& sim,
                             widgets::DropDown* list, QPushButton* button, int address) {
    sim.bus.clearTraffic();
    t.dialogs.boxes.clear();
    list->setCurrentIndex(address);
    button->click();
    QCoreApplication::processEvents();
    if (!QTest::qWaitFor([&] { return !w.link().busy(); }))
        return QStringLiteral("bus still busy");
    return t.dialogs.boxes.isEmpty() ? QString() : t.dialogs.boxes.back().text;
}

inline std::unique_ptr<MainWindow> loadRotaryWindow(testing::TestServices& t, SimBus& sim) {
    auto w = makeWindow(t, sim.port, sim.time);
    w->setRotaryEncoderSensorType();
    w->load();
    settle(*w);
    return w;
}

// The requests the bus received since its traffic was last cleared.
inline QStringList busRequests(const sim::Bus& bus) {
    QStringList requests;
    for (const sim::TrafficRecord& r : bus.traffic())
        if (r.kind == sim::TrafficRecord::Kind::Request)
            requests << QString::fromLatin1(r.bytes);
    return requests;
}

// A sensor scripted by request: the answer to give 10 ms after the request, or nothing for
// silence.
inline void script(testing::FakeSerialPort& port,
                   std::function<std::optional<QByteArray>(const QByteArray&)> answer) {
    port.onWrite = [&port, answer](const QByteArray& request) {
        const std::optional<QByteArray> a = answer(request);
        if (a)
            virtualTime().clock.after(
                sim::milliseconds(10), &port,
                [&port, line = request + *a + "\r\n"] { port.receive(line); });
    };
}
