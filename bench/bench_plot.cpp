// A page's log plot over a million readings: decimating the whole log when the plot is
// opened, following one more reading (the plot's update alone, then with the repaint that
// follows it), and a zoom that decimates half the log again.

#include "core/logging/LogModel.h"
#include "gui/plot/TrendPlot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kMore = 1000; // readings added with the plot shown

double msSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

struct Figures {
    double mean = 0;
    double p99 = 0;
    double worst = 0;
};

template <class Step> Figures measure(int times, Step step) {
    Figures f;
    std::vector<double> all;
    QElapsedTimer timer;
    for (int i = 0; i < times; ++i) {
        timer.start();
        step();
        all.push_back(msSince(timer));
        f.mean += all.back() / times;
    }
    std::sort(all.begin(), all.end());
    f.p99 = all[all.size() * 99 / 100];
    f.worst = all.back();
    return f;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Readings a second apart, as a 1-second log takes them: a level settling with noise.
    std::vector<QString> pressures;
    std::vector<QString> temperatures;
    for (int i = 0; i < 1000; ++i) {
        pressures.push_back(QString::number(12.0 + std::sin(i * 0.01) + (i % 7) * 0.001, 'f', 4));
        temperatures.push_back(QString::number(-5.0 + i * 0.05, 'f', 2));
    }
    const QString pressureUnits = QStringLiteral("Inch Hg");
    const QString temperatureUnits = QStringLiteral("Centigrade");
    const QDateTime start(QDate(2026, 12, 6), QTime(0, 0, 0));
    logging::LogModel log(logging::LogModel::Layout::LevelProbe);
    int added = 0;
    const auto addReading = [&] {
        const auto i = static_cast<size_t>(added % 1000);
        log.addRow(start.addSecs(added), pressures[i], pressureUnits, temperatures[i],
                   temperatureUnits);
        ++added;
    };
    while (added < kRows)
        addReading();

    plot::TrendPlot plot;
    plot.setLog(&log);
    plot.resize(1000, 500);
    QElapsedTimer timer;
    timer.start();
    plot.show();
    QApplication::processEvents();
    const double openMs = msSince(timer);

    const Figures update = measure(kMore, addReading);
    // The chart draws in the event loop after a change.
    const Figures painted = measure(kMore, [&] {
        addReading();
        QApplication::processEvents();
    });
    QApplication::processEvents();
    const qsizetype points = plot.points(0).size() + plot.points(1).size();

    timer.restart();
    plot.zoom(0.5, 0.5);
    const double zoomMs = msSince(timer);
    timer.restart();
    plot.fitAll();
    const double fitMs = msSince(timer);

    std::printf("readings in the log:                  %d\n", log.rowCount());
    std::printf("points drawn (two series):            %lld\n", static_cast<long long>(points));
    std::printf("open the plot (decimate all, paint):  %.1f ms\n", openMs);
    std::printf("one more reading, plot update:        %.3f ms mean, %.3f ms 99th percentile, "
                "%.3f ms worst of %d\n",
                update.mean, update.p99, update.worst, kMore);
    std::printf("one more reading, update and repaint: %.3f ms mean, %.3f ms 99th percentile, "
                "%.3f ms worst of %d\n",
                painted.mean, painted.p99, painted.worst, kMore);
    std::printf("zoom to half the log (decimate):      %.1f ms\n", zoomMs);
    std::printf("fit all (decimate all):               %.1f ms\n", fitMs);
    return 0;
}
