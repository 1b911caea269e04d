// Runs the first bus scan of each family the way the program does it (a main
// window on the real Qt serial port, real sleeps and clock, load() opening COM1 from the
// settings file) against sdi12-sim paced at 1200 baud in a process of its own, four times:
// ten level probes at 0-9, one level probe at 7 and nine silent addresses, then the same two
// with rotary encoders.
//
// For each run it prints the scan's wall time, the floor the protocol itself imposes on that
// traffic (computed from the simulator's record of the bus), their ratio and the CPU time of
// this process (the tool) during the scan as a share of the wall time. Each time the tool waits
// for the bus it sleeps and is woken again, which costs processor time before it does anything:
// the program first measures what a bare wake-up costs here and prints what the scan's waits
// cost at that rate, the part of its processor time that the machine, not the tool, sets.
// It also prints what drawing windows as they were shown cost: the main window's first
// drawing, in the first scan, and the scan window's.
//
// With --rescan [N], each run then presses "Re-Scan Sensors" in the same window (N times, once
// by default) and prints what each re-scan took: the first scan's own start-up work (the
// window's first drawing and each page's first showing) is not in it. Of several re-scans it
// also prints the median, which a shared machine's moments of load move less.
//
// With --log SECONDS, each run then logs the first sensor found at its shortest period and
// prints what that many seconds of the running log cost.

#include "ScanDone.h"
#include "core/link/Link.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "core/platform/PortMap.h"
#include "core/platform/QtSerialPort.h"
#include "core/platform/Services.h"
#include "core/platform/SysData.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SensorPage.h"
#include "gui/discovery/ScanWindow.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/platform/Dialogs.h"
#include "gui/rotary/RotaryPage.h"
#include "gui/widgets/DropDown.h"

#include <QApplication>
#include <QChildEvent>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <sys/resource.h>

namespace {

// One character on the line: start bit, 7 data bits, parity, stop bit at 1200 baud.
constexpr double kCharMs = 10.0 * 1000.0 / 1200.0;
// The simulator's wait between the end of a request and the start of its answer.
constexpr int kResponseDelayMs = 0;

// Answers every box with OK and keeps its text, so a failed scan can say why.
class QuietDialogs final : public platform::Dialogs {
public:
    Button messageBox(const QString& title, const QString& text, Icon, Buttons, Button) override {
        boxes << title + QStringLiteral(": ") + text;
        return Button::Ok;
    }
    std::optional<SaveChoice> saveFile(const QString&, const QString&,
                                       const QStringList&) override {
        return std::nullopt;
    }
    std::unique_ptr<Progress> progress(const QString&, const QString&, int) override {
        return nullptr;
    }
    QStringList boxes;
};

// Marks the moment the scan window is first shown: the start of Poll_Sensors' loop.
class ScanStartWatch final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!started && event->type() == QEvent::ChildPolished &&
            qobject_cast<discovery::ScanWindow*>(static_cast<QChildEvent*>(event)->child())) {
            started = true;
            onStart();
        }
        return QObject::eventFilter(watched, event);
    }
    bool started = false;
    std::function<void()> onStart;
};

// Times the drawings of windows as they are uncovered (shown), which Qt makes at once: the
// main window's first drawing falls in the first scan,
// the scan window's in every scan. Installed on the application, it hands an uncovered
// window its expose event itself, as Qt would next, to time it.
class UncoveredDrawings final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (inside_ || event->type() != QEvent::Expose || !watched->isWindowType())
            return false;
        inside_ = true;
        const double start = platform::processTimeMs();
        watched->event(event);
        ms += platform::processTimeMs() - start;
        if (static_cast<QWindow*>(watched)->isExposed()) // not a window hidden
            ++count;
        inside_ = false;
        return true;
    }
    double ms = 0;
    int count = 0;

private:
    bool inside_ = false;
};

// One line of the simulator's traffic: a request as received, or a sensor's line (answer or
// service request) with its line end, and when its last character was complete.
struct Record {
    bool request = false;
    QByteArray bytes;
    double endMs = 0;
};

QByteArray unescape(const QString& text) {
    QByteArray out;
    static const QRegularExpression escape(QStringLiteral("<(CR|LF|[0-9a-f]{2})>"));
    int at = 0;
    for (auto it = escape.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(at, m.capturedStart() - at).toLatin1();
        const QString code = m.captured(1);
        out += code == QLatin1String("CR")   ? '\r'
               : code == QLatin1String("LF") ? '\n'
                                             : static_cast<char>(code.toInt(nullptr, 16));
        at = static_cast<int>(m.capturedEnd());
    }
    return out + text.mid(at).toLatin1();
}

QList<Record> readTraffic(const QString& path) {
    QList<Record> records;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return records;
    static const QRegularExpression line(QStringLiteral("^\\s*([0-9]+\\.[0-9]+) (-->|<--) (.*)$"));
    while (!file.atEnd()) {
        const QRegularExpressionMatch m =
            line.match(QString::fromLatin1(file.readLine()).trimmed());
        if (m.hasMatch())
            records.append({m.captured(2) == QLatin1String("-->"), unescape(m.captured(3)),
                            m.captured(1).toDouble() * 1e3});
    }
    return records;
}

// One request on the bus with what came back for it: nothing (a silent address), an answer,
// and after a measurement answer possibly the sensor's service request.
struct Transaction {
    QByteArray request;
    std::optional<Record> answer;
    std::optional<Record> serviceRequest;

    bool is(const char* body) const {
        return request.size() >= 2 && request.sliced(1) == QByteArray(body) + '!';
    }
};

QList<Transaction> transactions(const QList<Record>& traffic) {
    QList<Transaction> list;
    for (const Record& r : traffic) {
        if (r.request)
            list.append({r.bytes, std::nullopt, std::nullopt});
        else if (!list.isEmpty() && !list.back().answer)
            list.back().answer = r;
        else if (!list.isEmpty() && !list.back().serviceRequest)
            list.back().serviceRequest = r;
    }
    return list;
}

// The protocol's own time for a scan's traffic, in parts, and for each transaction.
struct Floor {
    double breakMark = 0;        // break and mark before every request
    double requests = 0;         // request characters of answered requests (echoed as they go)
    double answers = 0;          // answer characters, line end included
    double responseDelays = 0;   // the simulator's wait before each answer
    double measurementWaits = 0; // measurement answer to the service request's address
    double dataPauses = 0;       // DataTimeout before each data request
    double timeouts = 0;         // unanswered requests: the command time-out from the write
    int answered = 0;
    int silent = 0;
    int dataRequests = 0;
    int serviceRequests = 0;

    double total() const {
        return breakMark + requests + answers + responseDelays + measurementWaits + dataPauses +
               timeouts;
    }
};

// Break, mark and time-out of an unanswered request.
double silentFloor(const Transaction& t, const sdilink::Link::Timings& timings) {
    // The time-out runs from the write, while the request is still going out; the scan's
    // measurement waits ten times as long.
    const int timeout =
        t.is("M") || t.is("C") ? 10 * timings.CommandTimeout : timings.CommandTimeout;
    return timings.BreakTiming + timings.MarkTiming +
           std::max<double>(timeout, static_cast<double>(t.request.size()) * kCharMs);
}

// Break, mark, request, response delay and answer: from the start of the break to the
// answer's line feed.
double answerFloor(const Transaction& t, const sdilink::Link::Timings& timings) {
    return timings.BreakTiming + timings.MarkTiming +
           static_cast<double>(t.request.size() + t.answer->bytes.size()) * kCharMs +
           kResponseDelayMs;
}

// From the measurement answer's line feed to the end of the service request's address
// character, on which the receiver acts (its CR LF pass during the data-request pause).
double measurementWait(const Transaction& t) {
    return t.serviceRequest->endMs - 2 * kCharMs - t.answer->endMs;
}

// The pause before a data request: DataTimeout after a level probe's measurement answer
// and after any service request; an encoder's reading with no wait is asked for at once.
double dataPause(const QList<Transaction>& traffic, qsizetype k,
                 const sdilink::Link::Timings& timings, bool rotary) {
    if (k <= 0 || !traffic[k].is("D0"))
        return 0;
    return !rotary || traffic[k - 1].serviceRequest ? timings.DataTimeout : 0;
}

Floor floorOf(const QList<Transaction>& traffic, const sdilink::Link::Timings& timings,
              bool rotary) {
    Floor f;
    for (qsizetype k = 0; k < traffic.size(); ++k) {
        const Transaction& t = traffic[k];
        f.breakMark += timings.BreakTiming + timings.MarkTiming;
        if (t.is("D0")) {
            f.dataPauses += dataPause(traffic, k, timings, rotary);
            ++f.dataRequests;
        }
        if (!t.answer) {
            f.timeouts += silentFloor(t, timings) - timings.BreakTiming - timings.MarkTiming;
            ++f.silent;
            continue;
        }
        ++f.answered;
        f.requests += static_cast<double>(t.request.size()) * kCharMs;
        f.responseDelays += kResponseDelayMs;
        f.answers += static_cast<double>(t.answer->bytes.size()) * kCharMs;
        if (t.serviceRequest) {
            f.measurementWaits += measurementWait(t);
            ++f.serviceRequests;
        }
    }
    return f;
}

// A line the tool added to its comms log, and when (ms since the scan started).
struct ToolLine {
    double ms = 0;
    bool sent = false;
    // The service request's line: logged at its line feed, which comes while the data request
    // is already going out, so its time says nothing about the scan's pace.
    bool serviceRequest = false;
};

// Where the time beyond the floor went, from the tool's own time stamps of its comms log.
struct Excess {
    double start = 0;       // scan window shown to the first request's log line
    double arrival = 0;     // answers' line feeds later than break, mark and characters allow
    double turnaround = 0;  // from a reply's line feed to the next request's log line
    double nextAddress = 0; // the part of it before a request to another address
    int addressChanges = 0;
    double serviceWait = 0; // measurement answer to data request beyond wait and pause
    double timeouts = 0;    // time-outs beyond their interval
    double end = 0;         // last line to the end of the scan
    double maxTurnaround = 0;
    double maxArrival = 0;
    double minTimeout = 1e9;
    double maxTimeout = -1e9;
    bool aligned = true; // every request's lines found where the traffic says
};

Excess excessOf(const QList<ToolLine>& allLines, const QList<Transaction>& traffic,
                const sdilink::Link::Timings& timings, double wallMs, bool rotary) {
    QList<ToolLine> lines;
    for (const ToolLine& line : allLines)
        if (!line.serviceRequest)
            lines.append(line);
    Excess x;
    const auto misaligned = [&x] {
        x.aligned = false;
        return x;
    };
    qsizetype at = 0;
    if (lines.isEmpty() || !lines.front().sent)
        return misaligned();
    x.start = lines.front().ms;
    for (qsizetype k = 0; k < traffic.size(); ++k) {
        const Transaction& t = traffic[k];
        if (at >= lines.size() || !lines[at].sent)
            return misaligned();
        const double sentMs = lines[at++].ms;
        double lastMs = sentMs;
        if (t.answer) {
            if (at >= lines.size() || lines[at].sent)
                return misaligned();
            lastMs = lines[at++].ms;
            const double late = lastMs - sentMs - answerFloor(t, timings);
            x.arrival += late;
            x.maxArrival = std::max(x.maxArrival, late);
        }
        const bool last = k + 1 == traffic.size();
        const double nextMs = last ? wallMs : lines.value(at).ms;
        const double pause = last ? 0 : dataPause(traffic, k + 1, timings, rotary);
        if (!t.answer) {
            // (After a silent last address this includes the end of the scan.)
            const double over = nextMs - sentMs - silentFloor(t, timings);
            x.timeouts += over;
            x.minTimeout = std::min(x.minTimeout, over);
            x.maxTimeout = std::max(x.maxTimeout, over);
        } else if (last) {
            x.end = nextMs - lastMs;
        } else if (t.serviceRequest) {
            x.serviceWait += nextMs - lastMs - measurementWait(t) - pause;
        } else {
            const double turn = nextMs - lastMs - pause;
            x.turnaround += turn;
            if (traffic[k + 1].request.left(1) != t.request.left(1)) {
                x.nextAddress += turn;
                ++x.addressChanges;
            }
            x.maxTurnaround = std::max(x.maxTurnaround, turn);
        }
    }
    x.aligned = at == lines.size();
    return x;
}

struct Scenario {
    const char* name;
    QStringList simArguments;
    int sensors; // sensors the scan must find
    bool rotary; // the rotary-encoder family, else level probes
};

// What the kernel reports of this process: processor time in user and system mode, and how
// often its threads gave up a core (waiting) or had it taken away.
struct Usage {
    double userMs = 0;
    double systemMs = 0;
    long waits = 0;
    long preempted = 0;

    static Usage now() {
        rusage u{};
        ::getrusage(RUSAGE_SELF, &u);
        const auto ms = [](timeval t) {
            return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
        };
        return {ms(u.ru_utime), ms(u.ru_stime), u.ru_nvcsw, u.ru_nivcsw};
    }
    Usage operator-(const Usage& o) const {
        return {userMs - o.userMs, systemMs - o.systemMs, waits - o.waits, preempted - o.preempted};
    }
};

// A running log after the scan: its page, its period, and what it took.
struct Logging {
    int page = 0;
    int periodSeconds = 0;
    double wallMs = 0;
    double cpuMs = 0;
    int rows = 0;
    int drawings = 0;
};

// The processor time one wake-up from a short sleep costs this process with nothing else to do:
// the least each of a scan's waits for the bus costs on this machine (a few microseconds on
// bare hardware, tens in some virtual machines).
double bareWakeUs() {
    constexpr int kWakes = 100;
    const Usage start = Usage::now();
    for (int i = 0; i < kWakes; ++i)
        QThread::msleep(5);
    const Usage used = Usage::now() - start;
    return (used.userMs + used.systemMs) * 1e3 / kWakes;
}

// A second scan in the same window, pressed after the first.
struct Rescan {
    double wallMs = 0;
    double cpuMs = 0;
    long waits = 0;
    int uncovered = 0;
    double uncoveredMs = 0;
    int requests = 0;
    double floorMs = 0;
};

struct Result {
    double wallMs = 0;
    double cpuMs = 0;
    Usage usage;
    int uncovered = 0; // windows drawn as they were shown
    double uncoveredMs = 0;
    Floor floor;
    Excess excess;
    int toolRequests = 0;
    int simRequests = 0;
    bool sameRequests = false;
    int pagesFound = 0;
    QStringList boxes;
    std::optional<Logging> logging;
    QList<Rescan> rescans;
};

bool waitForFile(const QString& path, const QString& traffic, const QProcess& sim) {
    QDeadlineTimer deadline(10'000);
    while (!deadline.hasExpired() && sim.state() != QProcess::NotRunning) {
        QFile f(traffic);
        if (QFileInfo::exists(path) && f.open(QIODevice::ReadOnly) && f.readLine().endsWith('\n'))
            return true;
        QThread::msleep(10);
    }
    return false;
}

// Counts the window's drawings: the update requests that reach it.
class DrawingCount final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest)
            ++drawings;
        return false;
    }
    int drawings = 0;
};

// Logs the first sensor the scan found at its shortest period and measures `seconds` of it,
// after three seconds for the log to settle.
std::optional<Logging> logFirstSensor(app::MainWindow& window, bool rotary, int seconds) {
    int page = 0;
    while (page <= 9 && !window.SensorTab->isTabEnabled(page))
        ++page;
    if (page > 9)
        return std::nullopt;
    app::SensorPage& p = *window.page(page);
    widgets::DropDown& periods =
        rotary ? *p.rotary->RotaryLogPeriodCombo : *p.level->LogPeriodCombo;
    int shortest = -1;
    for (int i = 0; i < periods.count(); ++i)
        if (periods.itemCode(i) > 0 &&
            (shortest < 0 || periods.itemCode(i) < periods.itemCode(shortest)))
            shortest = i;
    if (shortest < 0)
        return std::nullopt;
    periods.setCurrentIndex(shortest);
    (rotary ? p.rotary->RotaryStartLogBut : p.level->StartLogBut)->click();
    const auto runFor = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    runFor(3000);

    Logging l;
    l.page = page;
    l.periodSeconds = periods.itemCode(shortest);
    DrawingCount count;
    window.installEventFilter(&count);
    const int rowsStart = window.logger().log(page).rowCount();
    const double cpuStart = platform::processTimeMs();
    QElapsedTimer clock;
    clock.start();
    runFor(seconds * 1000);
    l.wallMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    l.cpuMs = platform::processTimeMs() - cpuStart;
    l.rows = window.logger().log(page).rowCount() - rowsStart;
    l.drawings = count.drawings;
    window.removeEventFilter(&count);
    (rotary ? p.rotary->RotaryStopLogBut : p.level->StopLogBut)->click();
    runFor(1000); // the last reading's reply
    return l;
}

// Presses "Re-Scan Sensors" and measures the scan it runs, until it is over.
Rescan rescan(app::MainWindow& window, const QStringList& sent,
              const UncoveredDrawings& uncovered) {
    Rescan r;
    const qsizetype sentBefore = sent.size();
    const int uncoveredStart = uncovered.count;
    const double uncoveredMsStart = uncovered.ms;
    const double cpuStart = platform::processTimeMs();
    const Usage usageStart = Usage::now();
    QElapsedTimer clock;
    clock.start();
    window.ScanBut->click();
    bench::finishScan(window);
    r.wallMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    r.cpuMs = platform::processTimeMs() - cpuStart;
    r.waits = (Usage::now() - usageStart).waits;
    r.uncovered = uncovered.count - uncoveredStart;
    r.uncoveredMs = uncovered.ms - uncoveredMsStart;
    r.requests = static_cast<int>(sent.size() - sentBefore);
    return r;
}

struct Options {
    int logSeconds = 0;
    int rescans = 0; // re-scans after the first
};

// Starts the simulator of the scenario on the link "bus" in dir, its traffic written to
// "traffic.txt" there, so reading it costs this process nothing during the scan.
bool startSim(QProcess& sim, const Scenario& scenario, const QString& simPath,
              const QTemporaryDir& dir) {
    const QString link = dir.filePath(QStringLiteral("bus"));
    const QString trafficPath = dir.filePath(QStringLiteral("traffic.txt"));
    sim.setStandardOutputFile(trafficPath);
    sim.setStandardErrorFile(dir.filePath(QStringLiteral("sim.err")));
    sim.start(simPath, scenario.simArguments + QStringList{QStringLiteral("--link"), link,
                                                           QStringLiteral("--delay"),
                                                           QString::number(kResponseDelayMs)});
    return sim.waitForStarted() && waitForFile(link, trafficPath, sim);
}

std::optional<Result> run(const Scenario& scenario, const QString& simPath,
                          const Options& options) {
    QTemporaryDir dir;
    if (!dir.isValid())
        return std::nullopt;
    const QString link = dir.filePath(QStringLiteral("bus"));
    const QString trafficPath = dir.filePath(QStringLiteral("traffic.txt"));
    QProcess sim;
    if (!startSim(sim, scenario, simPath, dir)) {
        std::fprintf(stderr, "sdi12-bench-scan: cannot start %s\n", qPrintable(simPath));
        return std::nullopt;
    }

    const QString settings = dir.filePath(QStringLiteral("settings.cfg"));
    platform::SysData(settings).write({1, 0, 0, 0, 0}); // COM1, default timings

    platform::PortMap ports;
    ports.bind(1, link);
    platform::QtSerialPort port(ports);
    QuietDialogs dialogs;
    app::AppServices services;
    services.port = &port;
    services.dialogs = &dialogs;
    services.ports = &ports;
    services.pause = platform::timerPause();
    services.clock = platform::systemClock();
    services.settingsFile = settings;
    services.settingsReadOnly = true;
    services.journalFolder = dir.filePath(QStringLiteral("journal"));

    Result result;
    {
        app::MainWindow window(services);
        if (scenario.rotary)
            window.setRotaryEncoderSensorType();
        else
            window.setLevelProbeSensorType();
        // The comms log keeps at most 150 lines: its lines are taken as they are added.
        QElapsedTimer clock;
        clock.start();
        double scanStartMs = 0;
        QStringList sent;
        QList<ToolLine> lines;
        const sdilink::CommsLog& log = window.link().commsLog();
        const QMetaObject::Connection scanLines = QObject::connect(
            &log, &QAbstractItemModel::rowsInserted, &window,
            [&](const QModelIndex&, int first, int last) {
                const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6 - scanStartMs;
                for (int row = first; row <= last; ++row) {
                    const QString& line = log.lines().at(row);
                    const bool isSent = line.contains(QLatin1String(" --> "));
                    if (isSent)
                        sent << line.section(QStringLiteral(" --> "), 1);
                    const QString text = line.section(QStringLiteral(" <-- "), 1);
                    lines.append({ms, isSent, !isSent && text.size() == 1 && text[0].isDigit()});
                }
            });

        double cpuStart = 0;
        Usage usageStart;
        UncoveredDrawings uncovered;
        QCoreApplication::instance()->installEventFilter(&uncovered);
        int uncoveredStart = 0;
        double uncoveredMsStart = 0;
        ScanStartWatch watch;
        watch.onStart = [&] {
            cpuStart = platform::processTimeMs();
            usageStart = Usage::now();
            uncoveredStart = uncovered.count;
            uncoveredMsStart = uncovered.ms;
            scanStartMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        };
        window.installEventFilter(&watch);

        window.load(); // opens COM1 and starts the first scan
        bench::finishScan(window);
        result.wallMs = static_cast<double>(clock.nsecsElapsed()) / 1e6 - scanStartMs;
        result.cpuMs = platform::processTimeMs() - cpuStart;
        result.usage = Usage::now() - usageStart;
        result.uncovered = uncovered.count - uncoveredStart;
        result.uncoveredMs = uncovered.ms - uncoveredMsStart;
        window.removeEventFilter(&watch);
        if (!watch.started)
            return std::nullopt;

        for (int i = 0; i <= 9; ++i)
            result.pagesFound += window.SensorTab->isTabEnabled(i) ? 1 : 0;
        result.toolRequests = static_cast<int>(sent.size());
        if (options.rescans > 0) {
            // The breakdown below is of the first scan's lines only.
            const qsizetype linesBefore = lines.size();
            for (int k = 0; k < options.rescans; ++k)
                result.rescans.append(rescan(window, sent, uncovered));
            sent.resize(result.toolRequests);
            lines.resize(linesBefore);
        }
        QObject::disconnect(scanLines);
        QCoreApplication::instance()->removeEventFilter(&uncovered);
        if (options.logSeconds > 0)
            result.logging = logFirstSensor(window, scenario.rotary, options.logSeconds);
        result.boxes = dialogs.boxes;

        // Let the simulator print its last lines, then stop it (SIGTERM ends it cleanly).
        QThread::msleep(200);
        port.close();
        sim.terminate();
        sim.waitForFinished(5000);

        // The scan's traffic; a re-scan's and a log's readings follow it.
        const QList<Transaction> all = transactions(readTraffic(trafficPath));
        const QList<Transaction> traffic = all.mid(0, result.toolRequests);
        qsizetype from = result.toolRequests;
        for (Rescan& again : result.rescans) {
            const QList<Transaction> its = all.mid(from, again.requests);
            if (its.size() == again.requests)
                again.floorMs = floorOf(its, window.link().timings(), scenario.rotary).total();
            from += again.requests;
        }
        QStringList simSent;
        for (const Transaction& t : traffic)
            simSent << QString::fromLatin1(t.request);
        result.simRequests = static_cast<int>(simSent.size());
        result.sameRequests = simSent == sent;
        const sdilink::Link::Timings& timings = window.link().timings();
        result.floor = floorOf(traffic, timings, scenario.rotary);
        result.excess = excessOf(lines, traffic, timings, result.wallMs, scenario.rotary);
    }
    return result;
}

// The same scan through the command-line program: "sdi12 --json scan" from its start to its
// exit, its processor time as the kernel counts it for a child.
struct CliResult {
    double wallMs = 0;
    double cpuMs = 0;
    int found = 0;
    int exitCode = -1;
    Floor floor;
};

std::optional<CliResult> runCli(const Scenario& scenario, const QString& simPath,
                                const QString& cliPath) {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("bus"));
    const QString trafficPath = dir.filePath(QStringLiteral("traffic.txt"));
    QProcess sim;
    if (!startSim(sim, scenario, simPath, dir))
        return std::nullopt;
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_STATE_HOME"), dir.filePath(QStringLiteral("state")));
    cli.setProcessEnvironment(env);
    const auto childCpuMs = [] {
        rusage u{};
        ::getrusage(RUSAGE_CHILDREN, &u);
        const auto ms = [](timeval t) {
            return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
        };
        return ms(u.ru_utime) + ms(u.ru_stime);
    };
    CliResult result;
    const double cpuBefore = childCpuMs();
    QElapsedTimer clock;
    clock.start();
    cli.start(cliPath, {QStringLiteral("--port"), link, QStringLiteral("--family"),
                        scenario.rotary ? QStringLiteral("encoder") : QStringLiteral("level"),
                        QStringLiteral("--json"), QStringLiteral("scan")});
    if (!cli.waitForFinished(300'000))
        return std::nullopt;
    result.wallMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    result.cpuMs = childCpuMs() - cpuBefore;
    result.exitCode = cli.exitCode();
    result.found = static_cast<int>(QJsonDocument::fromJson(cli.readAllStandardOutput())
                                        .object()
                                        .value(QStringLiteral("sensors"))
                                        .toArray()
                                        .size());
    QThread::msleep(200);
    sim.terminate();
    sim.waitForFinished(5000);
    result.floor =
        floorOf(transactions(readTraffic(trafficPath)), sdilink::Link::Timings{}, scenario.rotary);
    return result;
}

void print(const Scenario& scenario, const Result& r, double wakeUs) {
    const Floor& f = r.floor;
    const double floor = f.total();
    std::printf("\n%s\n", scenario.name);
    std::printf("  sensors found              %d\n", r.pagesFound);
    std::printf("  requests                   %d sent, %d on the bus (%s), %d answered, "
                "%d silent\n",
                r.toolRequests, r.simRequests, r.sameRequests ? "same" : "DIFFERENT", f.answered,
                f.silent);
    std::printf("  floor                      %9.1f ms\n", floor);
    std::printf("    break and mark           %9.1f ms\n", f.breakMark);
    std::printf("    requests (echoed)        %9.1f ms\n", f.requests);
    std::printf("    answers                  %9.1f ms\n", f.answers);
    std::printf("    response delays          %9.1f ms\n", f.responseDelays);
    std::printf("    measurement waits        %9.1f ms (%d service requests)\n", f.measurementWaits,
                f.serviceRequests);
    std::printf("    data-request pauses      %9.1f ms (%d data requests)\n", f.dataPauses,
                f.dataRequests);
    std::printf("    command time-outs        %9.1f ms\n", f.timeouts);
    std::printf("  wall                       %9.1f ms\n", r.wallMs);
    std::printf("  wall / floor               %9.4f   (goal <= 1.02)\n", r.wallMs / floor);
    std::printf("  tool CPU                   %9.1f ms = %.2f %% of wall (goal <= 5 %%)\n", r.cpuMs,
                100.0 * r.cpuMs / r.wallMs);
    std::printf("    of which windows shown   %9.1f ms = %.2f %% of wall (%d drawings)\n",
                r.uncoveredMs, 100.0 * r.uncoveredMs / r.wallMs, r.uncovered);
    std::printf("    user / system            %6.0f / %.0f ms; %ld waits, %ld times preempted\n",
                r.usage.userMs, r.usage.systemMs, r.usage.waits, r.usage.preempted);
    const auto waking = [&](long waits, double wallMs) {
        const double ms = static_cast<double>(waits) * wakeUs / 1e3;
        std::printf("    of which bare wake-ups   %9.1f ms = %.2f %% of wall (%ld waits)\n", ms,
                    100.0 * ms / wallMs, waits);
    };
    waking(r.usage.waits, r.wallMs);
    const Excess& x = r.excess;
    if (x.aligned) {
        std::printf("  beyond the floor, from the comms log's time stamps:\n");
        std::printf("    scan start to 1st request %9.1f ms\n", x.start);
        std::printf("    answers arriving late     %9.1f ms (at most %.1f ms for one)\n", x.arrival,
                    x.maxArrival);
        std::printf("    reply to next request     %9.1f ms (at most %.1f ms for one)\n",
                    x.turnaround, x.maxTurnaround);
        std::printf("      before another address  %9.1f ms (%d times)\n", x.nextAddress,
                    x.addressChanges);
        std::printf("    measurement to data req.  %9.1f ms\n", x.serviceWait);
        if (f.silent > 0)
            std::printf("    time-outs beyond interval %9.1f ms (%.1f to %.1f ms each)\n",
                        x.timeouts, x.minTimeout, x.maxTimeout);
        std::printf("    last line to scan end     %9.1f ms\n", x.end);
    } else {
        std::printf("  the comms log's lines do not match the traffic; no breakdown\n");
    }
    for (const Rescan& s : r.rescans) {
        std::printf("  re-scan in the same window (%d requests):\n", s.requests);
        std::printf("    wall                     %9.1f ms", s.wallMs);
        if (s.floorMs > 0)
            std::printf(" = %.4f of its floor", s.wallMs / s.floorMs);
        std::printf("\n    tool CPU                 %9.1f ms = %.2f %% of wall\n", s.cpuMs,
                    100.0 * s.cpuMs / s.wallMs);
        std::printf("      of which windows shown %9.1f ms = %.2f %% of wall (%d drawings)\n",
                    s.uncoveredMs, 100.0 * s.uncoveredMs / s.wallMs, s.uncovered);
        std::printf("  ");
        waking(s.waits, s.wallMs);
    }
    if (r.rescans.size() > 1) {
        const auto median = [&r](auto of) {
            QList<double> values;
            for (const Rescan& s : r.rescans)
                values.append(of(s));
            std::sort(values.begin(), values.end());
            const qsizetype n = values.size();
            return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
        };
        std::printf(
            "  median of %lld re-scans: tool CPU %.2f %% of wall, wall %.4f of its "
            "floor\n",
            static_cast<long long>(r.rescans.size()),
            median([](const Rescan& s) { return 100.0 * s.cpuMs / s.wallMs; }),
            median([](const Rescan& s) { return s.floorMs > 0 ? s.wallMs / s.floorMs : 0.0; }));
    }
    if (const std::optional<Logging>& l = r.logging) {
        std::printf("  then page %d logging every %d s for %.1f s:\n", l->page, l->periodSeconds,
                    l->wallMs / 1e3);
        std::printf("    readings                 %d\n", l->rows);
        std::printf("    tool CPU                 %9.1f ms = %.2f %% of wall, %.2f ms a reading\n",
                    l->cpuMs, 100.0 * l->cpuMs / l->wallMs, l->rows > 0 ? l->cpuMs / l->rows : 0.0);
        std::printf("    window drawings          %d\n", l->drawings);
    }
    for (const QString& box : r.boxes)
        std::printf("  box: %s\n", qPrintable(box));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QString simPath = QStringLiteral(SDI12_SIM_PATH);
    int only = 0;    // every run
    QString cliPath; // with --cli, the scans of sdi12 instead of the window's
    Options options;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sim") && i + 1 < args.size()) {
            simPath = args[++i];
        } else if (args[i] == QLatin1String("--run") && i + 1 < args.size() &&
                   args[i + 1].toInt() >= 1 && args[i + 1].toInt() <= 4) {
            only = args[++i].toInt();
        } else if (args[i] == QLatin1String("--log") && i + 1 < args.size() &&
                   args[i + 1].toInt() > 0) {
            options.logSeconds = args[++i].toInt();
        } else if (args[i] == QLatin1String("--cli")) {
            cliPath = QStringLiteral(SDI12_CLI_PATH);
        } else if (args[i] == QLatin1String("--rescan")) {
            options.rescans = 1;
            if (i + 1 < args.size() && args[i + 1].toInt() > 0)
                options.rescans = args[++i].toInt();
        } else {
            std::fprintf(stderr, "usage: sdi12-bench-scan [--sim PATH-OF-sdi12-sim] [--run 1-4] "
                                 "[--rescan [N]] [--log SECONDS] [--cli]\n");
            return 2;
        }
    }

    const Scenario scenarios[] = {
        {"Ten level probes at 0-9",
         {QStringLiteral("--level"), QStringLiteral("0,1,2,3,4,5,6,7,8,9")},
         10,
         false},
        {"One level probe at 7, nine silent addresses",
         {QStringLiteral("--level"), QStringLiteral("7")},
         1,
         false},
        {"Ten rotary encoders at 0-9",
         {QStringLiteral("--rotary"), QStringLiteral("0,1,2,3,4,5,6,7,8,9")},
         10,
         true},
        {"One rotary encoder at 7, nine silent addresses",
         {QStringLiteral("--rotary"), QStringLiteral("7")},
         1,
         true},
    };
    std::printf("Bus scan through sdi12-sim (%s), paced at 1200 baud\n", qPrintable(simPath));
    const double wakeUs = bareWakeUs();
    std::printf("A bare wake-up from a sleep costs this process %.1f us of processor time here\n",
                wakeUs);
    bool ok = true;
    int number = 0;
    for (const Scenario& s : scenarios) {
        if (++number != only && only != 0)
            continue;
        if (!cliPath.isEmpty()) {
            const std::optional<CliResult> c = runCli(s, simPath, cliPath);
            if (!c) {
                std::fprintf(stderr, "sdi12-bench-scan: sdi12 scan \"%s\" did not run\n", s.name);
                return 1;
            }
            const double floor = c->floor.total();
            std::printf("\n%s, sdi12 scan\n", s.name);
            std::printf("  sensors found              %d (exit status %d)\n", c->found,
                        c->exitCode);
            std::printf("  floor                      %9.1f ms\n", floor);
            std::printf("  wall (start to exit)       %9.1f ms\n", c->wallMs);
            std::printf("  wall / floor               %9.4f   (goal <= 1.02)\n", c->wallMs / floor);
            std::printf("  sdi12 CPU                  %9.1f ms = %.2f %% of wall (goal <= 5 %%)\n",
                        c->cpuMs, 100.0 * c->cpuMs / c->wallMs);
            ok = ok && c->found == s.sensors && c->exitCode == 0;
            continue;
        }
        const std::optional<Result> r = run(s, simPath, options);
        if (!r) {
            std::fprintf(stderr, "sdi12-bench-scan: the scan \"%s\" did not run\n", s.name);
            return 1;
        }
        print(s, *r, wakeUs);
        ok = ok && (options.logSeconds == 0 || r->logging) &&
             r->rescans.size() == options.rescans &&
             std::all_of(r->rescans.cbegin(), r->rescans.cend(),
                         [&r](const Rescan& s) { return s.requests == r->toolRequests; }) &&
             r->sameRequests && r->excess.aligned && r->pagesFound == s.sensors;
    }
    return ok ? 0 : 1;
}
