#include "BusWindow.h"
#include "LevelProbe.h"
#include "core/levelprobe/CalibrationState.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "gui/app/SensorPage.h"
#include "gui/console/UserCommand.h"
#include "gui/levelprobe/LevelPage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>

// The bus has one owner: clicks, log ticks and typed requests made while an exchange holds
// the bus wait for it, on the simulated bus with standard measuring sensors.
class BusOwnerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clicksWaitForALogReading();
    void oneSecondMeasurementsCarryValues_data();
    void oneSecondMeasurementsCarryValues();
    void stageOneStopsAtItsOwnStep();
    void consoleReplyAfterCloseIsNotDecoded_data();
    void consoleReplyAfterCloseIsNotDecoded();
    void stopLogDuringAReadingLeavesNoPageLocked();
    void addressProbeHearingAnythingIsTaken_data();
    void addressProbeHearingAnythingIsTaken();
};

namespace {

bool waitForFreeBus(MainWindow& w) {
    return QTest::qWaitFor([&w] { return !w.link().busy(); });
}

void choosePeriod(levelprobe::LevelPage* page, const QString& text) {
    page->LogPeriodCombo->setCurrentIndex(page->LogPeriodCombo->findText(text));
    QCOMPARE(page->LogPeriodCombo->currentText(), text);
}

// Lets the logger count `seconds` ticks, each once the bus is free.
void tick(MainWindow& w, int seconds) {
    for (int s = 0; s < seconds; ++s) {
        w.logger().SecondTimer_Timer();
        QVERIFY(waitForFreeBus(w));
    }
}

} // namespace

void BusOwnerTest::clicksWaitForALogReading() {
    // Page 2 logs every 5 s; whenever its measurement is asked for, page 7's range query is
    // pressed. A break before the data request would abort the reading.
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('2');
    sim.bus.addLevelProbe('7');
    auto w = loadWindow(t, sim);
    levelprobe::LevelPage* logging = w->page(2)->level;
    levelprobe::LevelPage* other = w->page(7)->level;
    int pressed = 0;
    connect(&sim.bus, &sim::Bus::recorded, w.get(), [&](const sim::TrafficRecord& r) {
        if (r.kind == sim::TrafficRecord::Kind::Request && r.bytes == "2M!")
            QTimer::singleShot(0, w.get(), [&] {
                other->RangeQueryBut->click();
                // Page 7 is locked from the click while its request waits.
                QVERIFY(!other->LocalGravityQueryBut->isEnabled());
                ++pressed;
            });
    });
    choosePeriod(logging, QStringLiteral("5 Seconds"));
    sim.bus.clearTraffic();
    logging->StartLogBut->click();
    QVERIFY(waitForFreeBus(*w));
    tick(*w, 15);

    QCOMPARE(pressed, 4);
    QStringList expected;
    for (int reading = 0; reading < 4; ++reading)
        expected << "2M!"
                 << "2D0!"
                 << "7XRA!";
    QCOMPARE(busRequests(sim.bus), expected);
    const logging::LogModel& log = w->logger().log(2);
    QCOMPARE(log.rowCount(), 5); // the scan's reading and four of the log
    for (int row = 0; row < log.rowCount(); ++row)
        QVERIFY(!log.text(row, 2).isEmpty());
    QVERIFY(!other->RangeText->text().isEmpty());
}

void BusOwnerTest::oneSecondMeasurementsCarryValues_data() {
    QTest::addColumn<bool>("serviceRequest");
    QTest::newRow("with a service request") << true;
    QTest::newRow("without one") << false;
}

void BusOwnerTest::oneSecondMeasurementsCarryValues() {
    // A sensor that announces one second aborts a measurement asked for before it is over.
    QFETCH(bool, serviceRequest);
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('3').setMeasurementTime(sim::milliseconds(900));
    sim::Faults faults;
    faults.noServiceRequest = !serviceRequest;
    sim.bus.setFaults('3', faults);
    auto w = loadWindow(t, sim);
    levelprobe::LevelPage* page = w->page(3)->level;
    QCOMPARE(w->logger().log(3).rowCount(), 1); // the scan's first reading
    choosePeriod(page, QStringLiteral("5 Seconds"));
    page->StartLogBut->click();
    QVERIFY(waitForFreeBus(*w));
    tick(*w, 5);
    const logging::LogModel& log = w->logger().log(3);
    QCOMPARE(log.rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        QVERIFY2(!log.text(row, 2).isEmpty(), qPrintable(QString::number(row)));
    QVERIFY(!busRequests(sim.bus).contains("3D0!3")); // never asked twice
}

void BusOwnerTest::stageOneStopsAtItsOwnStep() {
    // Sensor 1 never answers "trim offsets off"; meanwhile page 3's gravity query is pressed
    // and sensor 3 answers it at once.
    testing::TestServices t;
    script(*t.port, [](const QByteArray& request) -> std::optional<QByteArray> {
        if (request == "1XTRIMOF0.0!" || (request[0] != '1' && request[0] != '3'))
            return std::nullopt;
        if (request.endsWith("M!"))
            return QByteArray(1, request[0]) + "0001";
        if (request.endsWith("D0!"))
            return QByteArray(1, request[0]) + "+1.5+20.1";
        if (request.endsWith("XF!"))
            return QByteArray(1, request[0]) + "0,10,0001";
        if (request.endsWith("XE!"))
            return QByteArray(1, request[0]) + "+9.81";
        return QByteArray(1, request[0]) + "0";
    });
    auto w = loadWindow(t, *t.port);
    levelprobe::LevelPage* page = w->page(1)->level;
    levelprobe::LevelPage* other = w->page(3)->level;
    t.port->onWrite = [old = t.port->onWrite, other](const QByteArray& request) {
        old(request);
        if (request == "1XP1!")
            QTimer::singleShot(0, other, [other] { other->LocalGravityQueryBut->click(); });
    };
    w->CalibrateCheck->setChecked(true);
    const int before = static_cast<int>(sentRequests(*w).size());
    page->StageOneBut->click();
    QVERIFY(waitForFreeBus(*w));
    QCOMPARE(sentRequests(*w).mid(before),
             (QStringList{"1XREV0!", "1XU0,1.0!", "1XP1!", "1XTRIMOF0.0!", "3XE!"}));
    QCOMPARE(t.dialogs.boxes.size(), 1);
    QVERIFY2(t.dialogs.boxes[0].text.contains("step 4 of 8 (trim offsets off)"),
             qPrintable(t.dialogs.boxes[0].text));
    QVERIFY(!w->calibrationState().stageOneDone(1));
    QCOMPARE(other->LocalGravityText->text(), QStringLiteral("9.81"));
}

void BusOwnerTest::consoleReplyAfterCloseIsNotDecoded_data() {
    QTest::addColumn<int>("lateMs");
    QTest::newRow("before its time-out") << 60;
    QTest::newRow("after its time-out") << 1500;
}

void BusOwnerTest::consoleReplyAfterCloseIsNotDecoded() {
    QFETCH(int, lateMs);
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('1');
    sim.bus.addLevelProbe('3');
    auto w = loadWindow(t, sim);
    // The last exchange before the console opens is page 1's reading (its data answer).
    w->logger().requestReading(1);
    QVERIFY(waitForFreeBus(*w));
    const int rows = w->logger().log(1).rowCount();
    const QString pressure = w->page(1)->level->PressureText->text();
    sim::Faults faults;
    faults.lateBy = sim::milliseconds(lateMs);
    sim.bus.setFaults('3', faults);

    console::UserCommand& console = w->userCommand();
    w->mnuUserCommand->trigger();
    console.UserText->setText("3I!");
    console.SubmitBut->click();
    console.close(); // while the request is out
    QVERIFY(w->link().busy());
    QVERIFY(waitForFreeBus(*w));
    QTest::qWait(1);
    sim.time.clock.runUntilIdle();
    QCoreApplication::processEvents();

    QVERIFY(w->link().commsLog().lines().last().contains("3I!313CORVANE"));
    QCOMPARE(w->logger().log(1).rowCount(), rows);
    QCOMPARE(w->page(1)->level->PressureText->text(), pressure);
    QVERIFY(console.ReceivedText->text().isEmpty());
    QVERIFY(t.dialogs.boxes.isEmpty()); // no rescan question, no decoder message

    // Quitting the main window closes the console too (the program would go on without it).
    w->mnuUserCommand->trigger();
    QVERIFY(console.isVisible());
    t.dialogs.answers << platform::Dialogs::Button::Yes;
    w->close();
    QVERIFY(!console.isVisible());
}

void BusOwnerTest::stopLogDuringAReadingLeavesNoPageLocked() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('2');
    sim.bus.addLevelProbe('5');
    auto w = loadWindow(t, sim);
    levelprobe::LevelPage* logging = w->page(2)->level;
    levelprobe::LevelPage* other = w->page(5)->level;
    // "Stop Log" on page 5 while page 2's reading waits for its service request.
    connect(&sim.bus, &sim::Bus::recorded, w.get(), [&](const sim::TrafficRecord& r) {
        if (r.kind == sim::TrafficRecord::Kind::Reply && r.bytes.startsWith("2") &&
            w->link().transaction().request == "2M!")
            QTimer::singleShot(0, w.get(), [&] { other->StopLogBut->click(); });
    });
    choosePeriod(logging, QStringLiteral("5 Seconds"));
    logging->StartLogBut->click();
    QVERIFY(waitForFreeBus(*w));
    QCOMPARE(w->logger().state().loggingPage, std::optional<int>());
    for (levelprobe::LevelPage* page : {logging, other})
        for (QWidget* control : std::initializer_list<QWidget*>{
                 page->PressUnitsQueryBut, page->StartLogBut, page->LogPeriodCombo, page->AddrBut,
                 page->RangeQueryBut})
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    QVERIFY(w->ScanBut->isEnabled());
}

void BusOwnerTest::addressProbeHearingAnythingIsTaken_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("garbage") << "garbage";
    QTest::newRow("a line cut short") << "no-cr";
}

void BusOwnerTest::addressProbeHearingAnythingIsTaken() {
    QFETCH(QString, fault);
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('1');
    auto w = loadWindow(t, sim);
    // A device the scan could not read sits at 5.
    sim.bus.addLevelProbe('5');
    sim::Faults faults;
    faults.garbage = fault == "garbage";
    faults.noCarriageReturn = fault == "no-cr";
    sim.bus.setFaults('5', faults);
    levelprobe::LevelPage* page = w->page(1)->level;
    const QString said = chooseAddress(*w, t, sim, page->AddressCombo, page->AddrBut, 5);
    QVERIFY2(said.contains("in use"), qPrintable(said));
    QCOMPARE(busRequests(sim.bus), QStringList{"5!"});
    QVERIFY(page->AddrBut->isEnabled());
}

QTEST_MAIN(BusOwnerTest)
#include "tst_busowner.moc"
