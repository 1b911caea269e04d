// Seven days (or as many as the argument says) of one-second logging on the simulated bus, run on a
// clock that jumps from one event to the next: a main window of the level-probe family scans a bus
// with two level probes, logs the one at address 3 every second for 604,800 readings and, every ten
// minutes, queries the one at address 6 (alternately its pressure units and a "Get"
// reading). The bus paces every character at 1200 baud; everything the tool waits for (the
// bus, its time-outs, the logging tick) runs on the one virtual clock, and the tool's clock,
// which stamps the log rows, follows it.
//
// At every simulated day it prints the resident memory and how much of its growth the log
// rows themselves account for. At the end it checks that the logged page holds exactly one
// reading for every second of the week (none lost, none twice), each stamped with the second
// it arrived in: its own, or a later one when a query held the bus past the tick (it counts
// those and the longest delay), that the bus carried as many data requests as there are rows,
// and that the queried page's readings are in its own log. The logs' journals are on disk all
// along: the logged page's journal must hold every row of its log, as the log holds it, and no
// reading be missed.

#include "Bus.h"
#include "BusPort.h"
#include "FakeDialogs.h"
#include "LevelProbe.h"
#include "ManualScheduler.h"
#include "Memory.h"
#include "ScanDone.h"
#include "SchedulerTimers.h"
#include "StampCheck.h"
#include "TrafficRecord.h"
#include "VirtualBus.h"
#include "core/logging/JournalReader.h"
#include "core/logging/LogJournals.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "core/platform/SysData.h"
#include "core/protocol/Family.h"
#include "gui/app/AppServices.h"
#include "gui/app/Journalling.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SensorPage.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/logging/LogFrame.h"
#include "gui/logging/LogPages.h"
#include "gui/widgets/DropDown.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {

constexpr qint64 kSecondsPerDay = 86'400;
constexpr int kLogged = 3;  // the page (and address) logged every second
constexpr int kQueried = 6; // the page queried now and then
constexpr qint64 kQueryEvery = 600;
// Queries go out late in a second, so the next tick often finds the bus busy and its
// reading waits for it.
constexpr sim::Micros kQueryAt = sim::milliseconds(800);
constexpr sim::Micros kSecond = sim::milliseconds(1000);

// The date and time the virtual clock starts at; UTC, so no clock change falls in the week.
const QDateTime kEpoch(QDate(2026, 12, 1), QTime(0, 0), Qt::UTC);

qint64 logSeconds(const QDateTime& t) {
    return t.date().toJulianDay() * kSecondsPerDay + t.time().msecsSinceStartOfDay() / 1000;
}

qint64 logSeconds(const logging::LogModel& log, int row) {
    return logSeconds(QDateTime(log.date(row), log.time(row), Qt::UTC));
}

// A log's rows oldest first: their stamps, and the bytes the rows take as the log keeps
// them (16 bytes a row, each value text with a length byte) up to each row.
struct Rows {
    std::vector<qint64> seconds;
    std::vector<qint64> bytesBefore;
};

Rows readRows(const logging::LogModel& log) {
    Rows r;
    qint64 bytes = 0;
    for (int row = log.rowCount() - 1; row >= 0; --row) {
        r.seconds.push_back(logSeconds(log, row));
        r.bytesBefore.push_back(bytes);
        bytes += 16 + 2 + log.text(row, 2).size() + log.text(row, 4).size();
    }
    r.bytesBefore.push_back(bytes);
    return r;
}

struct DayMark {
    qint64 readings = 0;
    long resident = 0; // as the process holds it
    long trimmed = 0;  // after the allocator has given its free pages back
    double wallSeconds = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Days to run: 7 unless given as the only argument.
    const qint64 days = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;
    const qint64 totalReadings = days * kSecondsPerDay;

    bench::VirtualBus rig(kEpoch);
    sim::ManualScheduler& clock = rig.clock;
    sim::Bus& bus = rig.bus;
    bus.setRecording(false); // the bus's own record would grow with the run
    for (const int address : {kLogged, kQueried})
        bus.addLevelProbe(char('0' + address)).setMeasurementTime(sim::milliseconds(100));
    rig.port.setRecording(false); // nor the port's record of what the tool wrote
    testing::FakeDialogs& dialogs = rig.dialogs;
    const app::AppServices& services = rig.services;

    app::MainWindow w(services);
    w.SecondTimer.stop(); // the soak ticks on the virtual clock itself
    w.setLevelProbeSensorType();
    w.load();
    bench::finishScan(w);
    if (w.logger().log(kLogged).rowCount() != 1 || w.logger().log(kQueried).rowCount() != 1) {
        std::fprintf(stderr, "the scan did not find both level probes\n");
        return 1;
    }

    levelprobe::LevelPage& logged = *w.page(kLogged)->level;
    levelprobe::LevelPage& queried = *w.page(kQueried)->level;
    for (const int page : {kLogged, kQueried})
        w.logger().ClearLogBut_Click(page);
    // The probe's filter makes 2 s its fastest rate, so after the scan the list offers
    // 5 seconds and longer; the soak takes 1 second from the list as it stands before a scan.
    logging::fillLogPeriodList(*logged.LogPeriodCombo, logging::initialLevelLogPeriods());
    for (int i = 0; i < logged.LogPeriodCombo->count(); ++i)
        if (logged.LogPeriodCombo->itemCode(i) == 1)
            logged.LogPeriodCombo->setCurrentIndex(i);
    // "Get" is offered once calibration stage one is done.
    w.calibrationState().StageOne_Flag[kQueried] = true;
    w.family().unlockPage(kQueried);
    // Nothing is painted during the run: what drawing costs is measured elsewhere (the bus
    // scan, the log list), and a week of repaints would make the run take hours.
    w.hide();

    qint64 dataRequests[2] = {0, 0};
    QObject::connect(&bus, &sim::Bus::recorded, [&](const sim::TrafficRecord& r) {
        if (r.kind != sim::TrafficRecord::Kind::Request)
            return;
        if (r.bytes == QByteArray::number(kLogged) + "D0!")
            ++dataRequests[0];
        else if (r.bytes == QByteArray::number(kQueried) + "D0!")
            ++dataRequests[1];
    });

    std::vector<DayMark> marks;
    std::vector<qint64> getSeconds; // when each "Get" on the queried page went out
    qint64 unitQueries = 0;
    qint64 refusedQueries = 0;
    QElapsedTimer wall;
    QObject context;

    const auto mark = [&](qint64 readings) {
        DayMark m{readings, bench::residentBytes(), 0, static_cast<double>(wall.elapsed()) / 1e3};
        malloc_trim(0);
        m.trimmed = bench::residentBytes();
        marks.push_back(m);
        std::printf("day %lld: %lld readings, resident %.1f MB (%.1f MB trimmed), %.1f s\n",
                    static_cast<long long>(marks.size() - 1), static_cast<long long>(readings),
                    static_cast<double>(m.resident) / 1e6, static_cast<double>(m.trimmed) / 1e6,
                    m.wallSeconds);
        std::fflush(stdout);
    };
    const auto query = [&](qint64 n) {
        QPushButton* button = n % 2 == 0 ? queried.PressUnitsQueryBut : queried.PressureBut;
        if (!button->isEnabled()) {
            ++refusedQueries;
            return;
        }
        if (button == queried.PressureBut)
            getSeconds.push_back(logSeconds(services.clock()));
        else
            ++unitQueries;
        button->click();
    };

    // Tick k falls at start + k seconds; reading k is due at it (reading 0 at the start).
    const sim::Micros start =
        (clock.now() / kSecond + 2) * kSecond; // whole seconds, after the scan's last traffic
    std::function<void(qint64)> tick = [&](qint64 k) {
        if (k % kSecondsPerDay == 0)
            mark(k);
        if (k == totalReadings) {
            logged.StopLogBut->click();
            app.quit();
            return;
        }
        if (k == 0)
            logged.StartLogBut->click();
        else
            w.logger().SecondTimer_Timer();
        if (k % kQueryEvery == kQueryEvery / 2)
            clock.after(kQueryAt, &context, [&, n = k / kQueryEvery] { query(n); });
        clock.at(start + (k + 1) * kSecond, &context, [&tick, k] { tick(k + 1); });
    };
    clock.at(start, &context, [&] {
        wall.start();
        tick(0);
    });
    app.exec();

    // The logged page: one reading a second, stamped with the second it arrived in.
    const logging::LogModel& log = w.logger().log(kLogged);
    const Rows rows = readRows(log);
    const qint64 first = logSeconds(
        kEpoch.addMSecs(std::chrono::duration_cast<std::chrono::milliseconds>(start).count()));
    const bench::StampReport stamps = bench::checkEverySecond(rows.seconds, first, totalReadings);

    // Growth over day 0 less the rows' own bytes, in MB; the trimmed figure leaves out the
    // pages the allocator holds free (the old buffers of the growing logs among them).
    const DayMark& base = marks.front();
    const auto beyondRows = [&](const DayMark& m, long DayMark::*field) {
        const auto n = static_cast<size_t>(std::min<qint64>(m.readings, rows.seconds.size()));
        return static_cast<double>(m.*field - base.*field - rows.bytesBefore[n]) / 1e6;
    };
    std::printf("\nday  readings  resident MB  trimmed MB  rows MB  beyond rows MB  "
                "(untrimmed)  wall s\n");
    for (size_t d = 0; d < marks.size(); ++d) {
        const DayMark& m = marks[d];
        const auto n = static_cast<size_t>(std::min<qint64>(m.readings, rows.seconds.size()));
        std::printf(
            "%3zu  %8lld  %11.1f  %10.1f  %7.2f  %14.2f  %11.2f  %6.1f\n", d,
            static_cast<long long>(m.readings), static_cast<double>(m.resident) / 1e6,
            static_cast<double>(m.trimmed) / 1e6, static_cast<double>(rows.bytesBefore[n]) / 1e6,
            beyondRows(m, &DayMark::trimmed), beyondRows(m, &DayMark::resident), m.wallSeconds);
    }

    std::printf("\nlogged page %d: %lld rows, %lld data requests on the bus; stamps: %lld "
                "missing, %lld twice, %lld misplaced; %lld delayed, by at most %lld s",
                kLogged, static_cast<long long>(stamps.rows),
                static_cast<long long>(dataRequests[0]), static_cast<long long>(stamps.missing),
                static_cast<long long>(stamps.duplicated), static_cast<long long>(stamps.misplaced),
                static_cast<long long>(stamps.delayed), static_cast<long long>(stamps.maxDelay));
    if (stamps.firstBad >= 0)
        std::printf(" (first at row %lld)", static_cast<long long>(stamps.firstBad));
    std::printf("\n");

    // The queried page: its own readings, each stamped within two seconds of its "Get".
    const logging::LogModel& other = w.logger().log(kQueried);
    const Rows otherRows = readRows(other);
    qint64 lateOrMissing = 0;
    for (size_t i = 0; i < getSeconds.size(); ++i) {
        const bool inTime = i < otherRows.seconds.size() && otherRows.seconds[i] >= getSeconds[i] &&
                            otherRows.seconds[i] <= getSeconds[i] + 2;
        lateOrMissing += inTime ? 0 : 1;
    }
    std::printf(
        "queried page %d: %lld unit queries, %lld gets, %lld rows, %lld data requests "
        "on the bus, %lld rows not matching their get, %lld queries refused\n",
        kQueried, static_cast<long long>(unitQueries), static_cast<long long>(getSeconds.size()),
        static_cast<long long>(otherRows.seconds.size()), static_cast<long long>(dataRequests[1]),
        static_cast<long long>(lateOrMissing), static_cast<long long>(refusedQueries));
    // The logged page's journal, read back as a recovery would: the log's rows, every one.
    w.journalling().waitUntilWritten();
    logging::LogJournals& journals = w.journalling().journals();
    logging::LogModel journalled(logging::LogModel::Layout::LevelProbe);
    const logging::JournalSummary journal =
        logging::readJournal(journals.path(kLogged), &journalled);
    qint64 differing = std::abs(journalled.rowCount() - log.rowCount());
    for (int row = 0; row < std::min(journalled.rowCount(), log.rowCount()); ++row)
        for (int c = 0; c < log.columnCount(); ++c)
            if (journalled.text(row, c) != log.text(row, c)) {
                ++differing;
                break;
            }
    const qint64 journalBytes = QFileInfo(journal.path).size();
    const bool journalOk = differing == 0 && journal.readings == log.rowCount() &&
                           journal.missed == 0 && journals.missed(kLogged) == 0 &&
                           journal.incompleteLines == 0 && journal.unreadableLines == 0;
    std::printf("journal of page %d: %lld readings, %lld not as in the log, %lld incomplete or "
                "unreadable lines, %lld missed readings counted (page %d: %d); %.1f MB, %.1f "
                "bytes a reading: %s\n",
                kLogged, static_cast<long long>(journal.readings),
                static_cast<long long>(differing),
                static_cast<long long>(journal.incompleteLines + journal.unreadableLines),
                static_cast<long long>(journal.missed + journals.missed(kLogged)), kQueried,
                journals.missed(kQueried), static_cast<double>(journalBytes) / 1e6,
                static_cast<double>(journalBytes) / static_cast<double>(journal.readings),
                journalOk ? "PASS" : "FAIL");
    std::printf("message boxes shown: %lld\n", static_cast<long long>(dialogs.boxes.size()));
    for (const auto& box : dialogs.boxes)
        std::printf("  %s: %s\n", qPrintable(box.title), qPrintable(box.text));

    const bool ok = stamps.clean() && stamps.rows == totalReadings &&
                    dataRequests[0] == totalReadings &&
                    otherRows.seconds.size() == getSeconds.size() &&
                    dataRequests[1] == static_cast<qint64>(getSeconds.size()) &&
                    lateOrMissing == 0 && refusedQueries == 0 && dialogs.boxes.isEmpty() &&
                    journalOk && beyondRows(marks.back(), &DayMark::trimmed) < 1.0;
    std::printf("%s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
