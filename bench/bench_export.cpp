// Saves level-probe logs as the "Save Log" button does (through a temporary file renamed over
// the target) and reports the time of each format at its goal size, then the peak memory an
// xlsx of a million readings adds to the program.

#include "core/export/LogSheet.h"
#include "core/export/SafeSave.h"
#include "core/logging/LogModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A field of /proc/self/status in kB ("VmRSS", "VmHWM").
long statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Lets the peak resident size start again from the current one.
void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void fill(logging::LogModel& log, int readings) {
    const QDateTime start(QDate(2026, 12, 6), QTime(0, 0));
    for (int i = 0; i < readings; ++i)
        log.addRow(start.addSecs(i), QString::number(1013.25 + (i % 1000) * 0.0137, 'f', 4),
                   u"Inch Hg", QString::number(-5.0 + (i % 400) * 0.05, 'f', 2), u"Centigrade");
}

struct Run {
    double seconds;
    qint64 bytes;
};

Run save(logexport::Format format, const logging::LogModel& log, const QString& path) {
    const logexport::LogSheet sheet(log);
    const auto writer = logexport::makeWriter(format);
    QElapsedTimer timer;
    timer.start();
    const auto result = logexport::saveReplacing(*writer, sheet, path, [](int) { return true; });
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (result.status != logexport::WriteResult::Status::Written)
        std::fprintf(stderr, "save failed: %s\n", qPrintable(result.error));
    return {seconds, QFileInfo(path).size()};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;

    struct Case {
        const char* name;
        logexport::Format format;
        int readings;
        const char* file;
        double goal;
    };
    const Case cases[] = {{"csv", logexport::Format::Csv, 100'000, "log.csv", 0.2},
                          {"xlsx", logexport::Format::Xlsx, 100'000, "log.xlsx", 1.0},
                          {"xls", logexport::Format::Xls, 65'000, "log.xls", 0.4}};
    std::printf("%-5s %9s %12s %12s %12s %7s\n", "file", "readings", "best s", "median s", "bytes",
                "goal s");
    for (const Case& c : cases) {
        logging::LogModel log(logging::LogModel::Layout::LevelProbe);
        fill(log, c.readings);
        std::vector<double> times;
        qint64 bytes = 0;
        for (int i = 0; i < 5; ++i) {
            const Run run = save(c.format, log, dir.filePath(QLatin1String(c.file)));
            times.push_back(run.seconds);
            bytes = run.bytes;
        }
        std::sort(times.begin(), times.end());
        std::printf("%-5s %9d %12.3f %12.3f %12lld %7.1f\n", c.name, c.readings, times.front(),
                    times[2], static_cast<long long>(bytes), c.goal);
    }

    logging::LogModel log(logging::LogModel::Layout::LevelProbe);
    fill(log, 1'000'000);
    const long before = statusKb("VmRSS");
    resetPeak();
    const Run run = save(logexport::Format::Xlsx, log, dir.filePath(QStringLiteral("big.xlsx")));
    const long peak = statusKb("VmHWM");
    std::printf("xlsx of 1,000,000 readings: %.2f s, %lld bytes, peak memory growth %.1f MB "
                "(goal under 50 MB)\n",
                run.seconds, static_cast<long long>(run.bytes),
                static_cast<double>(peak - before) / 1024.0);
    return 0;
}
