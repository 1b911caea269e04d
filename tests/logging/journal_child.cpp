// A main window logging page 3 every second on the simulated bus, its clock and the bus on a
// virtual clock that jumps from one event to the next and its logging tick every 5 ms, so a
// reading is logged every few milliseconds. Every row is printed as the journal writes it,
// as soon as it is added. For tests that end it from outside.
//
//   journal_child FOLDER [FILE-SIZE-LIMIT [quit-during-apply]]
//
// With a limit no file may grow beyond that many bytes (as on a full disk); the program then
// ends by itself after 60 rows, printing the message boxes shown and whether the status bar
// says the log is not saved. With "quit-during-apply" (and a limit of 0 for none), sensor 3's
// report is applied to sensor 5 once the log has ten rows, and the main window is closed
// (answering Yes) as the apply's second set goes out: the program must end by itself.

#include "BusWindow.h"
#include "LevelProbe.h"
#include "core/logging/JournalFormat.h"
#include "core/logging/LogModel.h"
#include "gui/app/Journalling.h"
#include "gui/app/SensorPage.h"
#include "gui/app/Termination.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/logging/LogPages.h"

#include "core/levelprobe/LevelSensors.h"
#include "core/report/ConfigReport.h"
#include "gui/configure/ConfigureWindow.h"
#include "gui/configure/Configuring.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const rlim_t limit = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 0;
    if (limit > 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit fails instead
        const rlimit size{limit, limit};
        setrlimit(RLIMIT_FSIZE, &size);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the program does: SIGTERM ends it as quitting does.
    app::quitOnTermination(&app);
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('3');
    const bool quitDuringApply = argc > 3 && QByteArray(argv[3]) == "quit-during-apply";
    if (quitDuringApply) {
        sim::LevelProbe::Settings other;
        other.temperatureUnit = 1;
        other.reverse = 1;
        other.densityCorrection = 1;
        sim.bus.addLevelProbe('5').setSettings(other);
    }
    const QDateTime epoch(QDate(2026, 12, 1), QTime(0, 0), Qt::UTC);
    app::AppServices services = t.services();
    services.port = &sim.port;
    services.timers = &sim.time.timers;
    services.clock = [&] {
        return epoch.addMSecs(
            std::chrono::duration_cast<std::chrono::milliseconds>(sim.time.clock.now()).count());
    };
    services.journalFolder = QString::fromLocal8Bit(argv[1]);
    platform::SysData(services.settingsFile).write({1, 0, 0, 0, kTimeout});
    MainWindow w(services);
    w.setLevelProbeSensorType();
    w.load();
    settle(w); // the first scan goes on from the event loop

    const logging::LogModel& log = w.logger().log(3);
    const auto print = [&log](int row) {
        QByteArray line;
        logging::journal::appendReading(line, QDateTime(log.date(row), log.time(row), Qt::UTC),
                                        false, log.text(row, 2), log.text(row, 3), log.text(row, 4),
                                        log.text(row, 5));
        std::fputs(line.constData(), stdout);
        std::fflush(stdout);
    };
    for (int row = log.rowCount() - 1; row >= 0; --row) // the scan's
        print(row);
    QTemporaryDir reports;
    bool applying = false;
    int sets = 0; // requests setting a value of sensor 5
    QObject::connect(&log, &logging::LogModel::readingsInserted, &app, [&] {
        print(0);
        if (quitDuringApply && log.rowCount() == 10 && !applying) {
            // From the event loop, not inside the reply that added the row.
            applying = true;
            QTimer::singleShot(0, &w, [&] {
                const QString path = reports.filePath(QStringLiteral("sensor3.txt"));
                QFile file(path);
                if (!file.open(QIODevice::WriteOnly))
                    QCoreApplication::exit(3);
                auto& levels = dynamic_cast<levelprobe::LevelSensors&>(w.family());
                file.write(report::fileText(report::levelReport(levels.record(3), 3).lines));
                file.close();
                QObject::connect(
                    &sim.bus, &sim::Bus::recorded, &app, [&](const sim::TrafficRecord& r) {
                        if (r.kind != sim::TrafficRecord::Kind::Request ||
                            !r.bytes.startsWith("5X") || r.bytes.size() <= 5 || ++sets != 2)
                            return;
                        std::printf("closing\n");
                        std::fflush(stdout);
                        t.dialogs.answers.enqueue(platform::Dialogs::Button::Yes);
                        QTimer::singleShot(0, &w, [&w] { w.close(); });
                    });
                t.dialogs.openChoices.enqueue(path);
                w.configuring().mnuApplyConfiguration_Click();
                configure::ConfigureWindow* apply = w.configuring().window();
                apply->setTarget(3, false);
                apply->setTarget(5, true);
                apply->apply(); // once the sensors are read
            });
        }
        if (limit > 0 && log.rowCount() == 60) {
            std::printf("boxes %lld\n", static_cast<long long>(t.dialogs.boxes.size()));
            for (const auto& box : t.dialogs.boxes)
                std::printf("box %s\n", qPrintable(box.text.simplified()));
            std::printf("panel %s\n",
                        w.journalling().JournalPanel->isVisible() ? "shown" : "hidden");
            QCoreApplication::exit(0);
        }
    });
    levelprobe::LevelPage& page = *w.page(3)->level;
    logging::fillLogPeriodList(*page.LogPeriodCombo, logging::initialLevelLogPeriods());
    page.LogPeriodCombo->setCurrentIndex(page.LogPeriodCombo->findText("1 Second"));
    w.SecondTimer.setInterval(5);
    page.StartLogBut->click();
    return QApplication::exec();
}
