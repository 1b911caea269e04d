// The tool's own work for a bus scan, apart from the time the bus takes: the first scan of a
// shown main window, ten level probes at 0-9 and then ten rotary encoders at 0-9, on the
// simulated bus paced at 1200 baud but on a clock that jumps from one event to the next.
// Every character, request, reply, time-out and paced drawing happens as in a real scan; only
// the waiting between them takes no time. So the work is the same from run to run, and under
// callgrind, counting only inside runScan, the instruction count of a scan is a figure that
// a shared or loaded machine does not blur (the processor time of sdi12-bench-scan moves by
// a tenth or more between runs there):
//
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*runScan*'
//            build-bench/bench/sdi12-bench-scan-work [level|rotary]
//
// Without valgrind it prints the processor time of each scan. An argument runs one family's
// scan only. With --drawing it also prints what drawing the whole window costs after the
// scan, on each of the first three pages (each drawn 50 times): about what a paced drawing
// costs in a scan that shows a new page between two drawings. With --rescan it measures a
// second scan in the same window instead (count inside '*runRescan*').

#include "ScanDone.h"
#include "VirtualBus.h"
#include "core/link/CommsLog.h"
#include "core/link/Link.h"
#include "core/platform/Services.h"
#include "gui/app/MainWindow.h"

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

namespace {

struct Outcome {
    int found = 0;
    int lines = 0; // comms log lines at the end (the log is emptied every 150 received)
    double cpuMs = 0;
    double virtualMs = 0;
    QList<double> drawingMs; // the whole window drawn once, per page
};

// Kept out of line and named, for callgrind to count inside it only.
[[gnu::noinline]] void runScan(app::MainWindow& window) {
    window.load();
    bench::finishScan(window);
}

// The same scan again, "Re-Scan Sensors" pressed in the same window: without the first
// scan's start-up work (the window's first drawing, each page's first showing).
[[gnu::noinline]] void runRescan(app::MainWindow& window) {
    window.ScanBut->click();
    bench::finishScan(window);
}

[[gnu::noinline]] void drawWhole(app::MainWindow& window) {
    window.repaint();
}

Outcome scan(bool rotary, bool drawing, bool oneAmongSilent, bool again) {
    // Break, mark and the data-request pause take no time here; the floor is not measured.
    bench::VirtualBus rig(QDateTime(QDate(2026, 12, 1), QTime(8, 0), Qt::UTC));
    for (char address = '0'; address <= '9'; ++address) {
        if (oneAmongSilent && address != '7')
            continue;
        if (rotary)
            rig.bus.addRotaryEncoder(address);
        else
            rig.bus.addLevelProbe(address);
    }

    app::MainWindow window(rig.services);
    window.SecondTimer.stop();
    window.ClockTimer.stop();
    if (rotary)
        window.setRotaryEncoderSensorType();
    else
        window.setLevelProbeSensorType();
    window.resize(1000, 760);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return {};
    QCoreApplication::processEvents();

    Outcome outcome;
    if (again)
        runScan(window);
    const sim::Micros start = rig.clock.now();
    const double cpuStart = platform::processTimeMs();
    if (again)
        runRescan(window);
    else
        runScan(window);
    outcome.cpuMs = platform::processTimeMs() - cpuStart;
    outcome.virtualMs = static_cast<double>((rig.clock.now() - start).count()) / 1e3;
    for (int i = 0; i <= 9; ++i)
        outcome.found += window.SensorTab->isTabEnabled(i) ? 1 : 0;
    outcome.lines = window.link().commsLog().count();
    for (int page = 0; drawing && page < 3; ++page) {
        window.SensorTab->setCurrentIndex(page);
        QCoreApplication::processEvents();
        constexpr int times = 50;
        const double cpu = platform::processTimeMs();
        for (int i = 0; i < times; ++i)
            drawWhole(window);
        outcome.drawingMs.append((platform::processTimeMs() - cpu) / times);
    }
    return outcome;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool drawing = args.removeAll(QStringLiteral("--drawing")) > 0;
    const bool oneAmongSilent = args.removeAll(QStringLiteral("--one-among-silent")) > 0;
    const bool again = args.removeAll(QStringLiteral("--rescan")) > 0;
    const QString only = args.value(0);
    if (args.size() > 1 ||
        !(only.isEmpty() || only == QLatin1String("level") || only == QLatin1String("rotary"))) {
        std::fprintf(stderr, "usage: sdi12-bench-scan-work [--drawing] [--one-among-silent] "
                             "[--rescan] [level|rotary]\n");
        return 2;
    }
    bool ok = true;
    for (const bool rotary : {false, true}) {
        if (!only.isEmpty() && rotary != (only == QLatin1String("rotary")))
            continue;
        const Outcome o = scan(rotary, drawing, oneAmongSilent, again);
        const char* what =
            oneAmongSilent ? (rotary ? "One rotary encoder at 7, nine silent addresses"
                                     : "One level probe at 7, nine silent addresses")
                           : (rotary ? "Ten rotary encoders at 0-9" : "Ten level probes at 0-9");
        std::printf("%s: %d found, %.1f s of bus time, %.1f ms of processor time\n", what, o.found,
                    o.virtualMs / 1e3, o.cpuMs);
        for (qsizetype page = 0; page < o.drawingMs.size(); ++page)
            std::printf("  the whole window drawn on page %lld: %.2f ms of processor time\n",
                        static_cast<long long>(page), o.drawingMs[page]);
        ok = ok && o.found == (oneAmongSilent ? 1 : 10);
    }
    return ok ? 0 : 1;
}
