// What the journal on disk costs a reading: the processor time the window's thread spends
// handing a reading to its journal (logging::LogJournals::rowAdded, everything
// Logger::AddLogRow does beyond what it did before), median and 99th percentile, once with
// readings paced and once in a burst, and the wall time of the same calls (which on a loaded
// machine includes time the thread was not running); the bytes each reading takes in the
// file; the writer thread's processor time per reading; how many syncs were made and how long
// they took.

#include "core/logging/JournalDisk.h"
#include "core/logging/JournalFormat.h"
#include "core/logging/LogJournals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double threadCpuUs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

double threadCpuMs() {
    return threadCpuUs() / 1e3;
}

struct Percentiles {
    double median = 0;
    double p99 = 0;
    double max = 0;
};

Percentiles percentiles(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    if (v.empty())
        return {};
    return {v[v.size() / 2], v[v.size() * 99 / 100], v.back()};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("journal"));

    // Every sync timed, in the writer's thread.
    std::mutex syncMutex;
    std::vector<double> syncMs;
    logging::JournalThread thread([&](int fd) {
        const auto start = Clock::now();
        const int error = ::fdatasync(fd) == 0 ? 0 : errno;
        const std::lock_guard lock(syncMutex);
        syncMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        return error;
    });
    const auto writerCpuMs = [&] {
        double ms = 0;
        QMetaObject::invokeMethod(
            &thread.disk(), [&] { ms = threadCpuMs(); }, Qt::BlockingQueuedConnection);
        return ms;
    };
    logging::LogJournals journals(thread.disk(), folder, platform::systemClock(), [](int) {
        return logging::LogJournals::Sensor{false, QStringLiteral("60012345"),
                                            QStringLiteral("COM5 /dev/ttyUSB0")};
    });
    const platform::Clock clock = platform::systemClock();

    // Level-probe readings as a sensor sends them.
    std::vector<QString> pressures;
    for (int i = 0; i < 1000; ++i)
        pressures.push_back(QString::number(1.3 + i / 1000.0, 'f', 3));
    const QString units1 = QStringLiteral("mH2O");
    const QString temperature = QStringLiteral("11.4");
    const QString units2 = QStringLiteral("Centigrade");

    // What reading the thread's processor time costs, taken off each figure.
    std::vector<double> empty;
    for (int i = 0; i < 10'000; ++i) {
        const double start = threadCpuUs();
        empty.push_back(threadCpuUs() - start);
    }
    const double cpuClockUs = percentiles(empty).median;

    const auto run = [&](int tab, int readings, int gapUs, const char* what) {
        std::vector<double> us;
        std::vector<double> cpuUs;
        us.reserve(static_cast<size_t>(readings));
        cpuUs.reserve(static_cast<size_t>(readings));
        const double cpuBefore = writerCpuMs();
        const size_t syncsBefore = syncMs.size();
        for (int i = 0; i < readings; ++i) {
            const QDateTime when = clock(); // AddLogRow reads the clock for the row anyway
            const double cpuStart = threadCpuUs();
            const auto start = Clock::now();
            journals.rowAdded(tab, when, pressures[static_cast<size_t>(i) % pressures.size()],
                              units1, temperature, units2);
            us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            cpuUs.push_back(threadCpuUs() - cpuStart - cpuClockUs);
            if (gapUs > 0)
                QThread::usleep(static_cast<unsigned long>(gapUs));
        }
        thread.waitUntilWritten();
        const double cpu = writerCpuMs() - cpuBefore;
        // The last sync, half a second after the last reading.
        QThread::msleep(logging::JournalDisk::kSyncDelayMs + 200);
        thread.waitUntilWritten();
        QCoreApplication::processEvents(); // the journal's path
        const Percentiles p = percentiles(cpuUs);
        const Percentiles wall = percentiles(us);
        const QFileInfo file(journals.path(tab));
        std::printf("%s: %d readings\n"
                    "  window's thread per reading, processor: median %.2f us, 99th percentile "
                    "%.2f us, max %.1f us\n"
                    "  the same, wall time: median %.2f us, 99th percentile %.2f us, max %.1f us\n"
                    "  writer thread %.2f us per reading; %zu syncs; file %lld bytes\n",
                    what, readings, p.median, p.p99, p.max, wall.median, wall.p99, wall.max,
                    cpu * 1e3 / readings, syncMs.size() - syncsBefore,
                    static_cast<long long>(file.size()));
        return file.size();
    };

    const int paced = 10'000;
    const int burst = 200'000;
    // One reading every 1 ms: ten sensors at their fastest would bring one every 100 ms.
    run(0, paced, 1000, "paced, one every 1 ms");
    const qint64 burstBytes = run(1, burst, 0, "burst, back to back");

    // The bytes beyond the header are the readings'.
    const qsizetype header =
        logging::journal::headerLines({false, 1, QStringLiteral("60012345"), units1, units2,
                                       QStringLiteral("COM5 /dev/ttyUSB0"), clock()})
            .size();
    std::printf("bytes per reading on disk: %.1f (header %lld bytes)\n",
                static_cast<double>(burstBytes - header) / burst, static_cast<long long>(header));

    const Percentiles sync = percentiles(syncMs);
    std::printf("syncs: %zu, median %.2f ms, 99th percentile %.2f ms, max %.2f ms\n", syncMs.size(),
                sync.median, sync.p99, sync.max);
    return 0;
}
