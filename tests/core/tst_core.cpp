#include "Bus.h"
#include "BusPort.h"
#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "Wait.h"
#include "core/discovery/BusScan.h"
#include "core/levelprobe/CalibrationSteps.h"
#include "core/levelprobe/LevelSensors.h"
#include "core/levelprobe/LevelSettingTable.h"
#include "core/link/Link.h"
#include "core/logging/JournalDisk.h"
#include "core/logging/JournalReader.h"
#include "core/logging/LogJournals.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "core/rotary/RotarySensors.h"
#include "core/rotary/RotarySettingTable.h"
#include "core/session/Sensors.h"

#include <QCoroTask>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The core alone, as the command-line program and any script use it: a QCoreApplication, no
// window, no widgets (the executable links none; the ctest check core_links_no_gui says so).
class CoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scanFindsBothFamilies();
    void scanOfSomeAddressesLeavesTheRest();
    void setRefusedSendsNothing();
    void unitChangeReReadsBeforeTheSetEnds();
    void applyReadsBackWithASilentSet();
    void unansweredRequestsKeepTheLastAnswer();
    void answerStillArrivingIsWaitedFor();
    void stageOneAndAddressMove();
    void tenReadingLogJournalled();
    void settingsCheckedAsThePageChecksThem_data();
    void settingsCheckedAsThePageChecksThem();
};

namespace {

using configure::ConfigRow;
using session::SetResult;

QDateTime now() {
    return QDateTime(QDate(2026, 12, 10), QTime(9, 0));
}

// A family's sensors, scan and session on the simulated bus in this process, on a clock that
// jumps from one due event to the next.
struct Bench {
    explicit Bench(bool rotary)
        : sensors(link, logger, rotary,
                  [this](const QString&, const QString& text) { notices << text; }),
          family(&sensors.family()), session(&sensors.session()), scan(&sensors.scan()),
          calibration(sensors.calibration()) {
        clock.setAutoAdvance(true);
        bus.setPacing(false);
        port.open(1);
    }

    levelprobe::LevelSensors& probes() { return dynamic_cast<levelprobe::LevelSensors&>(*family); }
    rotary::RotarySensors& encoders() { return dynamic_cast<rotary::RotarySensors&>(*family); }
    // Scans, then forgets the traffic of the scan.
    discovery::BusScan::Result scanned() {
        const discovery::BusScan::Result result = QCoro::waitFor(scan->run());
        bus.clearTraffic();
        return result;
    }
    QStringList requests() const {
        QStringList sent;
        for (const sim::TrafficRecord& r : bus.traffic())
            if (r.kind == sim::TrafficRecord::Kind::Request)
                sent << QString::fromLatin1(r.bytes);
        return sent;
    }

    sim::ManualScheduler clock;
    sim::SchedulerTimers timers{clock};
    sim::Bus bus{clock};
    sim::BusPort port{bus};
    sdilink::Link link{port, [](int, QObject*, const std::function<void()>& then) { then(); }, now,
                       nullptr, timers};
    logging::Logger logger{link, now};
    QStringList notices;
    session::Sensors sensors;
    protocol::Family* family;
    session::Session* session;
    discovery::BusScan* scan;
    levelprobe::CalibrationState& calibration;
};

} // namespace

void CoreTest::scanFindsBothFamilies() {
    Bench levels(false);
    levels.bus.addLevelProbe('2');
    levels.bus.addLevelProbe('7');
    const discovery::BusScan::Result found = levels.scanned();
    QCOMPARE(found.firstFound, 2);
    QVERIFY(!found.stopped);
    for (int p = 0; p <= 9; ++p) {
        QCOMPARE(levels.family->present(p), p == 2 || p == 7);
        QCOMPARE(levels.probes().locked(p), false);
    }
    const levelprobe::LevelRecord& r = levels.probes().record(7);
    QVERIFY(!r.serialNumber.isEmpty());
    QVERIFY(!r.range.isEmpty());
    QVERIFY(!r.sampleRate.isEmpty());
    QVERIFY(!r.pressure.isEmpty()); // the first reading
    QVERIFY(levels.probes().record(0).range.isEmpty());

    Bench encoders(true);
    encoders.bus.addRotaryEncoder('4');
    QCOMPARE(encoders.scanned().firstFound, 4);
    QVERIFY(!encoders.encoders().record(4).countsPerRev.isEmpty());
    QVERIFY(!encoders.encoders().record(4).currentValue.isEmpty());
    QVERIFY(!encoders.link.busy());
}

void CoreTest::scanOfSomeAddressesLeavesTheRest() {
    Bench b(false);
    b.bus.addLevelProbe('2');
    b.bus.addLevelProbe('7');
    b.scanned();
    const QString serial = b.probes().record(2).serialNumber;
    const discovery::BusScan::Result again = QCoro::waitFor(b.scan->run(QList<int>{4, 7}));
    QCOMPARE(again.firstFound, 7);
    for (const QString& request : b.requests())
        QVERIFY2(request.startsWith('4') || request.startsWith('7'), qPrintable(request));
    QVERIFY(b.family->present(2) && !b.family->present(4) && b.family->present(7));
    QCOMPARE(b.probes().record(2).serialNumber, serial);
}

void CoreTest::setRefusedSendsNothing() {
    Bench b(false);
    b.bus.addLevelProbe('3');
    b.scanned();
    const SetResult locked = QCoro::waitFor(b.session->set(3, "range", "10"));
    QCOMPARE(locked.outcome, SetResult::Outcome::Refused);
    QCOMPARE(locked.detail,
             QStringLiteral("Needs \"Unlock\" ticked on the page, as its Set does."));
    const SetResult unit = QCoro::waitFor(b.session->set(3, "Pressure Units", "mbr"));
    QCOMPARE(unit.detail, QStringLiteral("\"mbr\" is not in the list of pressure units."));
    QCOMPARE(QCoro::waitFor(b.session->set(3, "Counts", "5")).outcome, SetResult::Outcome::Refused);
    QVERIFY(b.requests().isEmpty());
}

void CoreTest::unitChangeReReadsBeforeTheSetEnds() {
    // The re-read of the unit-dependent settings and the reading run inside the set, so what
    // is read back afterwards is in the new unit.
    Bench b(false);
    b.bus.addLevelProbe('3');
    b.scanned();
    const QString range = b.probes().record(3).range;
    const SetResult set = QCoro::waitFor(b.session->set(3, "pressure-units", "bar"));
    QVERIFY(set.applied());
    QCOMPARE(b.requests(),
             (QStringList{"3XUP3!", "3XP!", "3XE!", "3XLOF!", "3XRA!", "3XMOR!", "3M!", "3D0!"}));
    QCOMPARE(b.probes().record(3).pressureUnitText(), QStringLiteral("bar"));
    QCOMPARE(b.session->value(3, "Pressure Units"), QStringLiteral("bar"));
    QVERIFY(b.probes().record(3).range != range);
}

void CoreTest::applyReadsBackWithASilentSet() {
    Bench b(false);
    b.bus.addLevelProbe('3');
    b.bus.addLevelProbe('5');
    sim::Faults silentGravity;
    silentGravity.refuseSet = {"XE"};
    b.bus.setFaults('5', silentGravity);
    b.scanned();
    for (int p : {3, 5}) {
        std::vector<ConfigRow> rows(2);
        rows[0].label = QStringLiteral("Local Gravity");
        rows[0].other = QStringLiteral("9.7");
        rows[1].label = QStringLiteral("Temperature Units");
        rows[1].other = QStringLiteral("Fahrenheit");
        for (ConfigRow& row : rows) {
            row.kind = ConfigRow::Kind::Setting;
            row.ticked = true;
        }
        QCoro::waitFor(b.session->applyAll(p, rows));
        QCOMPARE(rows[1].outcome, ConfigRow::Outcome::Applied);
        QCOMPARE(rows[1].now, QStringLiteral("Fahrenheit"));
        if (p == 3) {
            QCOMPARE(rows[0].outcome, ConfigRow::Outcome::Applied);
        } else {
            QCOMPARE(rows[0].outcome, ConfigRow::Outcome::Failed);
            QCOMPARE(rows[0].detail, QStringLiteral("no answer to 5XE9.7!"));
        }
    }
    QVERIFY(!b.link.busy());
}

void CoreTest::unansweredRequestsKeepTheLastAnswer() {
    // A query the sensor leaves unanswered, and a request dropped from a full queue, leave the
    // value it answered before for the log and the report; the page shows the field empty
    // until an answer comes.
    Bench b(false);
    b.bus.addLevelProbe('2');
    b.bus.addLevelProbe('9');
    b.scanned();
    const levelprobe::LevelRecord& two = b.probes().record(2);
    const QString unit = two.pressureUnitText();
    QVERIFY(!unit.isEmpty());
    sim::Faults silent;
    silent.silent = true;
    b.bus.setFaults('2', silent);
    QVERIFY(!QCoro::waitFor(b.session->read(2, "Pressure Units")));
    QVERIFY(two.awaitsAnswer(levelprobe::LevelField::PressureUnits));
    b.bus.setFaults('2', {});
    b.logger.log(2).clear();
    QVERIFY(QCoro::waitFor(b.session->measure(2)));
    QCOMPARE(b.logger.log(2).text(0, 3), unit);
    QCOMPARE(b.session->value(2, "pressure units"), unit);

    const QString range = b.probes().record(9).range;
    for (int p = 0; p <= 8; ++p) // one going and 16 waiting, each once
        for (const auto code : {sdilink::Code::TempUnitsQuery, sdilink::Code::DensityCorrQuery})
            if (p < 8 || code == sdilink::Code::TempUnitsQuery)
                b.probes().query(p, code);
    b.probes().query(9, sdilink::Code::RangeQuery); // the queue is full: not sent
    QVERIFY(testing::waitUntil([&] { return !b.link.busy(); }));
    QVERIFY(!b.requests().contains("9XRA!"));
    QCOMPARE(b.session->value(9, "Range"), range);
    QVERIFY(b.probes().record(9).awaitsAnswer(levelprobe::LevelField::Range));
}

void CoreTest::answerStillArrivingIsWaitedFor() {
    // At 1200 baud, with the sensor slow to start its answer, the answer ends after the
    // command time-out: the exchange lasts while its bytes keep coming.
    Bench b(false);
    b.bus.addLevelProbe('1');
    b.scanned();
    b.bus.setPacing(true);
    b.bus.setResponseDelay(sim::Micros{350'000});
    const SetResult set = QCoro::waitFor(b.session->set(1, "Local Level", "-1234.567"));
    QVERIFY2(set.applied(), qPrintable(set.detail));
    QCOMPARE(b.probes().record(1).localLevel, QStringLiteral("-1234.567"));
}

void CoreTest::stageOneAndAddressMove() {
    Bench b(false);
    b.bus.addLevelProbe('2');
    b.bus.addLevelProbe('7');
    b.scanned();
    QVERIFY(QCoro::waitFor(levelprobe::stageOne(b.probes(), 2)));
    QCOMPARE(b.requests(), (QStringList{"2XREV0!", "2XU0,1.0!", "2XP1!", "2XTRIMOF0.0!",
                                        "2XANCLV0,0.0!", "2XANCLV1,1.0!", "2XLOC0!", "2XU1,0.0!"}));
    QVERIFY(b.calibration.stageOneDone(2));
    QVERIFY(!b.calibration.Calibrate_Flag);

    b.bus.clearTraffic();
    QCOMPARE(QCoro::waitFor(b.session->changeAddress(2, 7)), discovery::AddressMove::InUse);
    QVERIFY(b.requests().isEmpty());
    const QString serial = b.probes().record(2).serialNumber;
    QCOMPARE(QCoro::waitFor(b.session->changeAddress(2, 5)), discovery::AddressMove::Moved);
    QCOMPARE(b.requests().mid(0, 2), (QStringList{"5!", "2A5!"}));
    QVERIFY(b.family->present(5) && !b.family->present(2));
    QCOMPARE(b.probes().record(5).serialNumber, serial);
    QVERIFY(!b.probes().locked(5) && !b.link.busy());
    b.bus.clearTraffic();
    QVERIFY(QCoro::waitFor(b.session->measure(5)));
    QCOMPARE(b.requests(), (QStringList{"5M!", "5D0!"}));
}

void CoreTest::tenReadingLogJournalled() {
    // Sensor 3 logged at one second for ten ticks: ten rows in the log and in its journal,
    // which reads back finished once the journals are closed.
    Bench b(false);
    b.bus.addLevelProbe('3');
    b.scanned();
    logging::Logger& logger = b.logger;
    logger.log(3).clear();
    QTemporaryDir dir;
    QString path;
    {
        logging::JournalThread thread;
        logging::LogJournals journals(thread.disk(), dir.path(), now, [](int) {
            return logging::LogJournals::Sensor{false, QStringLiteral("3"), {}};
        });
        logger.setListener(&journals);
        journals.watch(b.link, logger);
        logger.setPeriod(3, 1);
        logger.StartLogBut_Click(3);
        QVERIFY(testing::waitUntil([&] { return !b.link.busy(); }));
        for (int tick = 1; tick < 10; ++tick) {
            logger.SecondTimer_Timer();
            QVERIFY(testing::waitUntil([&] { return !b.link.busy(); }));
        }
        logger.StopLogBut_Click(3);
        QCOMPARE(logger.log(3).rowCount(), 10);
        QCOMPARE(journals.missed(3), 0);
        thread.waitUntilWritten();
        // The disk names the file it made from its own thread.
        QVERIFY(testing::waitUntil([&] { return !journals.path(3).isEmpty(); }));
        path = journals.path(3);
        logger.setListener(nullptr);
    }
    logging::LogModel read(logging::LogModel::Layout::LevelProbe);
    logging::readJournal(path, &read);
    QCOMPARE(read.rowCount(), 10);
    QVERIFY(logging::journalFinished(path));
    QCOMPARE(read.text(0, 2), logger.log(3).text(0, 2));
    QCOMPARE(read.text(0, 3), QStringLiteral("mH2O"));
}

void CoreTest::settingsCheckedAsThePageChecksThem_data() {
    QTest::addColumn<bool>("rotary");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("unlocked");
    QTest::addColumn<QString>("outcome"); // the refusal, or what goes
    QTest::newRow("unit by any name") << false << "pressure-units"
                                      << "bar" << false << "entry 3";
    QTest::newRow("unit not listed")
        << false << "Pressure Units"
        << "mbr" << false << "\"mbr\" is not in the list of pressure units.";
    QTest::newRow("gravity adds the zero") << false << "LOCAL  gravity"
                                           << ".5" << false << "0.5";
    QTest::newRow("gravity unsigned")
        << false << "Local Gravity"
        << "-9.8" << false << "\"-9.8\" is not a number the page's box takes.";
    QTest::newRow("level signed") << false << "local_level"
                                  << "-.25" << false << "-.25";
    QTest::newRow("range locked") << false << "Range"
                                  << "10" << false
                                  << "Needs \"Unlock\" ticked on the page, as its Set does.";
    QTest::newRow("range unlocked") << false << "Range"
                                    << "10" << true << "10";
    QTest::newRow("longer than the box") << false << "Local Gravity"
                                         << "9.81000000" << false
                                         << "\"9.81000000\" is longer than the page's box "
                                            "takes (9 characters).";
    QTest::newRow("range, two dots")
        << false << "Range"
        << "1.0.0" << true << "\"1.0.0\" is not a number the page's box takes.";
    QTest::newRow("no value") << false << "Local Level"
                              << "" << false << "The file gives no value.";
    QTest::newRow("circumference with a plus") << true << "pulley circumference (mm)"
                                               << "+200" << false << "+200";
    QTest::newRow("circumference without its unit") << true << "pulley-circumference"
                                                    << "200" << false << "200";
    QTest::newRow("direction") << true << "Rotation Direction"
                               << "Clockwise" << false << "entry 1";
    QTest::newRow("unknown setting") << false << "Max. Sample Rate"
                                     << "2" << false << "none";
}

void CoreTest::settingsCheckedAsThePageChecksThem() {
    QFETCH(bool, rotary);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(bool, unlocked);
    QFETCH(QString, outcome);
    const protocol::Setting* s =
        protocol::findSetting(rotary ? rotary::settingTable() : levelprobe::settingTable(), name);
    if (outcome == "none") {
        QVERIFY(s == nullptr);
        return;
    }
    QVERIFY(s != nullptr);
    const QString refused = protocol::refusal(*s, value, unlocked);
    const QString goes = s->isList()
                             ? QStringLiteral("entry %1").arg(*protocol::entryIndex(*s, value))
                             : protocol::sentNumber(*s, value);
    QCOMPARE(refused.isEmpty() ? goes : refused, outcome);
}

QTEST_GUILESS_MAIN(CoreTest)
#include "tst_core.moc"
