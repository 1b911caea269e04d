// Adds a million readings to one page's log through Logger::AddLogRow, the path the decoder
// takes for every data reply, and reports time and resident memory per row, then the cost
// of showing such a log: scrolling to its end, formatting a screenful of rows and one more
// reading while the list is shown.

#include "Memory.h"
#include "core/link/Link.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "core/platform/SerialPort.h"
#include "core/protocol/Family.h"
#include "gui/logging/LogFrame.h"
#include "gui/logging/LogPages.h"
#include "gui/logging/LogView.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/Controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRows = 1'000'000;

// No bus: the benchmark never sends.
class NoPort final : public platform::SerialPort {
public:
    bool open(int) override { return false; }
    void close() override {}
    bool isOpen() const override { return false; }
    void setBreak(bool) override {}
    void write(const QByteArray&) override {}
    int bytesWaiting() const override { return 0; }
    quint8 readByte() override { return 0; }
    void clearInput() override {}
    QString errorString() const override { return {}; }
    QString deviceName() const override { return {}; }
};

class NoDialogs final : public platform::Dialogs {
public:
    Button messageBox(const QString&, const QString&, Icon, Buttons, Button) override {
        return Button::Ok;
    }
    std::optional<SaveChoice> saveFile(const QString&, const QString&,
                                       const QStringList&) override {
        return std::nullopt;
    }
    std::unique_ptr<Progress> progress(const QString&, const QString&, int) override {
        return nullptr;
    }
};

class LevelProbes final : public protocol::Family {
public:
    bool isRotary() const override { return false; }
    QString serialNumber(int) const override { return {}; }
    sdilink::Code dataRequestCode() const override { return sdilink::Code::Data; }
    sdilink::Code measureCode() const override { return sdilink::Code::Measure; }
    void lockPage(int) override {}
    void unlockPage(int) override {}
    bool decodeReply(const sdilink::Transaction&, const protocol::ReplyLine&) override {
        return false;
    }
};

double msSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Drawn as the program draws: the platform's style and its unshaped Latin text.

    NoPort port;
    NoDialogs dialogs;
    sdilink::Link link(port, platform::timerPause(), platform::systemClock());
    QTabWidget tabs;
    std::array<logging::LogFrame*, 10> frames{};
    for (size_t i = 0; i < frames.size(); ++i) {
        frames[i] = new logging::LogFrame(&tabs);
        frames[i]->setColumns(logging::LogModel::Layout::LevelProbe);
        tabs.addTab(frames[i], QStringLiteral("Sensor %1").arg(i));
    }
    LevelProbes family;
    logging::Logger logger(link, platform::systemClock());
    logging::showLogs(logger, frames);
    logger.setFamily(&family, {});
    widgets::preferUnshapedText(&tabs);
    tabs.resize(1000, 800);
    tabs.show();
    QApplication::processEvents();

    // Readings as the decoder hands them over: sign "+" dropped, "-" kept.
    std::vector<QString> pressures;
    std::vector<QString> temperatures;
    for (int i = 0; i < 1000; ++i) {
        pressures.push_back(QString::number(12.0 + i * 0.0137, 'f', 4));
        temperatures.push_back(QString::number(-5.0 + i * 0.05, 'f', 2));
    }
    const QString pressureUnits = QStringLiteral("Inch Hg");
    const QString temperatureUnits = QStringLiteral("Centigrade");

    const long before = bench::residentBytes();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kRows; ++i)
        logger.AddLogRow(0, pressures[static_cast<size_t>(i % 1000)], pressureUnits,
                         temperatures[static_cast<size_t>(i % 1000)], temperatureUnits);
    const double addMs = msSince(timer);
    const long afterRows = bench::residentBytes();

    logging::LogView* view = frames[0]->LogListView;
    timer.restart();
    view->scrollToBottom();
    QApplication::processEvents();
    const double scrollMs = msSince(timer);
    const long afterShown = bench::residentBytes();

    // The rows a screen shows, every column formatted as the list draws it.
    const logging::LogModel& log = logger.log(0);
    const int screenful = view->viewport()->height() / std::max(1, view->sizeHintForRow(0)) + 1;
    qsizetype characters = 0;
    timer.restart();
    for (int r = log.rowCount() - screenful; r < log.rowCount(); ++r)
        for (int c = 0; c < log.columnCount(); ++c)
            characters += log.index(r, c).data().toString().size();
    const double formatMs = msSince(timer);

    timer.restart();
    view->viewport()->repaint();
    const double paintMs = msSince(timer);

    // One more reading with the list shown: add (the list takes note), then lay out and
    // paint; the median of a few.
    std::vector<double> addMsList;
    std::vector<double> liveMsList;
    for (int i = 0; i < 21; ++i) {
        timer.restart();
        logger.AddLogRow(0, pressures[0], pressureUnits, temperatures[0], temperatureUnits);
        addMsList.push_back(msSince(timer));
        QApplication::processEvents();
        liveMsList.push_back(msSince(timer));
    }
    std::sort(addMsList.begin(), addMsList.end());
    std::sort(liveMsList.begin(), liveMsList.end());
    const double addOneMs = addMsList[addMsList.size() / 2];
    const double liveMs = liveMsList[liveMsList.size() / 2];

    // Where the time of a row goes: reading the clock, and storing the row with no list.
    const platform::Clock clock = platform::systemClock();
    timer.restart();
    qint64 sum = 0;
    for (int i = 0; i < kRows; ++i)
        sum += clock().time().second();
    const double clockMs = msSince(timer);
    double storeMs = 0;
    {
        logging::LogModel alone(logging::LogModel::Layout::LevelProbe);
        const QDateTime when = clock();
        timer.restart();
        for (int i = 0; i < kRows; ++i)
            alone.addRow(when, pressures[static_cast<size_t>(i % 1000)], pressureUnits,
                         temperatures[static_cast<size_t>(i % 1000)], temperatureUnits);
        storeMs = msSince(timer);
    }

    const double rows = kRows;
    std::printf("rows added through AddLogRow:     %d\n", kRows);
    std::printf("time per row:                     %.3f us (%.0f ms in all)\n",
                addMs * 1000.0 / rows, addMs);
    std::printf("  of which reading the clock:     %.3f us (checksum %lld)\n",
                clockMs * 1000.0 / rows, static_cast<long long>(sum % 10));
    std::printf("  storing a row, no list:         %.3f us\n", storeMs * 1000.0 / rows);
    std::printf("resident memory per row:          %.1f bytes (log rows only)\n",
                static_cast<double>(afterRows - before) / rows);
    std::printf("resident memory per row, shown:   %.1f bytes (with the list's layout)\n",
                static_cast<double>(afterShown - before) / rows);
    std::printf("scroll to the end (lay out, paint): %.1f ms\n", scrollMs);
    std::printf("format a screenful (%d rows x %d): %.3f ms (%lld characters)\n", screenful,
                log.columnCount(), formatMs, static_cast<long long>(characters));
    std::printf("repaint the shown rows:           %.3f ms\n", paintMs);
    std::printf("one more reading while shown:     %.3f ms to add, %.3f ms with lay-out and "
                "paint (median of 21)\n",
                addOneMs, liveMs);
    return 0;
}
