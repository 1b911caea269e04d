#include "Bus.h"
#include "BusPort.h"
#include "Fixtures.h"
#include "LevelProbe.h"
#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "TrafficRecord.h"
#include "core/link/Link.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "core/platform/SysData.h"
#include "core/protocol/Family.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SensorPage.h"
#include "gui/discovery/AddressChange.h"
#include "gui/discovery/ScanWindow.h"
#include "gui/discovery/Scanner.h"
#include "gui/discovery/SensorLists.h"
#include "gui/levelprobe/FilterWindow.h"
#include "gui/levelprobe/LevelFamily.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/levelprobe/LogPeriodList.h"
#include "gui/levelprobe/Reset.h"
#include "gui/logging/LogFrame.h"
#include "gui/rotary/RotaryPage.h"
#include "gui/widgets/DropDown.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <optional>

#include "BusWindow.h"

class ScanTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void singleSensorAtSeven();
    void eachPageShownOnce();
    void fullSeriesOfOneAddress();
    void presenceWithoutIdentification();
    void measurementTimeoutIsRestored();
    void rescanWhileLogging();
    void noSensorFound();
    void noScanInsideAScan();
    void closingStopsAScan();
    void getTakesAReadingThroughTheBus();
    void calibrationResetAndFilterOnTheBus();
    void addressChangeOnTheBus();
    void rotaryAddressChangeOnTheBus();
    void pulledCable_data();
    void pulledCable();
    void addressChangeUnconfirmedOffersRescan();
    void addressMoveTakesTheLogAlong();
    void logPeriodsFollowSampleRate_data();
    void logPeriodsFollowSampleRate();
    void repliesGoToThePageThatAsked();
    void lateAnswerEndsInItsTimeout();
    void closedPortSaysSoOnce();
    void portLostDuringAScan();
    void pulledAtEveryRequest_data();
    void pulledAtEveryRequest();
    void unitChangeRereadsThePage();
    void failedRereadBlanksTheRow();
    void rotaryEncodersFound();
};

void ScanTest::singleSensorAtSeven() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('7');
    auto w = loadWindow(t, sim);

    for (int i = 0; i <= 9; ++i)
        QCOMPARE(w->SensorTab->isTabEnabled(i), i == 7);
    // Assistive technology does not read a tab's enabled state; the name says it.
    QCOMPARE(w->SensorTab->tabBar()->accessibleTabName(4), QStringLiteral("Sensor 4, no sensor"));
    QVERIFY(w->SensorTab->tabBar()->accessibleTabName(7).isEmpty());
    QCOMPARE(w->SensorTab->currentIndex(), 7);
    QCOMPARE(w->lists().ListView->currentItem(), w->lists().ListView->topLevelItem(7));
    QCOMPARE(w->scanner().scanWindow()->ProgressBar1->value(), 9);
    QVERIFY(!w->scanner().scanWindow()->isVisible());
    QVERIFY(!w->link().busy());
    QCOMPARE(w->link().ReceiveState(), sdilink::Framer::State::Idle);
    QVERIFY(t.dialogs.boxes.isEmpty());

    // The page is filled, the row shows the sensor and its first reading.
    levelprobe::LevelPage* page = w->page(7)->level;
    QVERIFY(!page->PressUnitsCombo->text().isEmpty());
    QVERIFY(!page->RangeText->text().isEmpty());
    QVERIFY(!page->PressureText->text().isEmpty());
    QCOMPARE(page->SensorIDList->count(), 4);
    QTreeWidgetItem* row = w->lists().ListView->topLevelItem(7);
    QVERIFY(!row->text(1).isEmpty()); // serial number
    QCOMPARE(row->text(4), page->PressureText->text());
    QCOMPARE(row->text(8), QStringLiteral("Idle"));
    QCOMPARE(w->logger().log(7).rowCount(), 1);
    QVERIFY(page->PressUnitsQueryBut->isEnabled()); // the data reply unlocked the page
}

// Each scan shows the page of every address once, in turn, and then the first sensor's page,
// whether the tabs of silent addresses were enabled before (the first scan) or not.
void ScanTest::eachPageShownOnce() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('7');
    auto w = makeWindow(t, sim.port, sim.time);
    w->SensorTab->setCurrentIndex(0);
    QList<int> shown;
    QObject::connect(w->SensorTab, &QTabWidget::currentChanged, [&](int page) { shown << page; });
    w->load();
    QVERIFY(settle(*w));
    QCOMPARE(shown, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 7}));
    shown.clear();
    w->ScanBut->click();
    QVERIFY(settle(*w));
    QCOMPARE(shown, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 7}));
}

// A scan draws the window at most four times a second of its own time, however many
// requests it sends, and leaves it drawn as it ends.
void ScanTest::fullSeriesOfOneAddress() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('3');
    auto w = loadWindow(t, sim);
    QStringList expected;
    for (int i = 0; i <= 2; ++i)
        expected << QStringLiteral("%1XUP!").arg(i);
    expected << QStringList{"3XUP!",  "3XUT!", "3XP!",  "3XE!",      "3I!",       "3XREV!",
                            "3XLOF!", "3XRA!", "3XU0!", "3XANCLV0!", "3XANCLV1!", "3XMOR!",
                            "3XLOC!", "3XSN!", "3XF!",  "3M!",       "3D0!"};
    for (int i = 4; i <= 9; ++i)
        expected << QStringLiteral("%1XUP!").arg(i);
    QCOMPARE(sentRequests(*w), expected);
}

void ScanTest::presenceWithoutIdentification() {
    testing::TestServices t;
    script(*t.port, [](const QByteArray& request) -> std::optional<QByteArray> {
        if (!request.startsWith('2'))
            return std::nullopt;
        if (request == "2I!")
            return std::nullopt;
        return QByteArray("20");
    });
    auto w = loadWindow(t, *t.port);

    // Presence answered, identification not: nothing after it, no reading, no status.
    const QStringList sent = sentRequests(*w);
    QCOMPARE(sent.mid(2, 6), (QStringList{"2XUP!", "2XUT!", "2XP!", "2XE!", "2I!", "3XUP!"}));
    QVERIFY(!sent.contains("2M!"));
    QVERIFY(w->SensorTab->isTabEnabled(2));
    QVERIFY(w->lists().ListView->topLevelItem(2)->text(8).isEmpty());
    QCOMPARE(w->SensorTab->currentIndex(), 2);
}

void ScanTest::measurementTimeoutIsRestored() {
    testing::TestServices t;
    QStringList timed; // each request, and the time it was written at in ms
    QList<qint64> written;
    script(*t.port, [](const QByteArray& request) -> std::optional<QByteArray> {
        if (!request.startsWith('0') || request == "0M!")
            return std::nullopt; // the measurement goes unanswered
        if (request == "0XF!")
            return QByteArray("00,10,0001");
        return QByteArray("01");
    });
    auto answer = t.port->onWrite;
    t.port->onWrite = [&](const QByteArray& r) {
        answer(r);
        // The time-out starts right after the write, under the interval set by then.
        timed << QString::fromLatin1(r);
        written << virtualTime().clock.now().count() / 1000;
    };
    auto w = loadWindow(t, *t.port);
    QVERIFY(w->lists().ListView->topLevelItem(0)->text(8).isEmpty());
    // The unanswered measurement waited ten times as long; the silent next address the
    // normal time.
    const auto waited = [&](const char* request) {
        const qsizetype i = timed.indexOf(QLatin1String(request));
        return written.at(i + 1) - written.at(i);
    };
    QCOMPARE(waited("0M!"), 10 * kTimeout);
    QCOMPARE(waited("1XUP!"), kTimeout);
    QCOMPARE(w->link().timings().CommandTimeout, kTimeout);
}

void ScanTest::rescanWhileLogging() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('1');
    sim.bus.addLevelProbe('4');
    auto w = loadWindow(t, sim);
    QCOMPARE(w->lists().ListView->topLevelItem(4)->text(8), QStringLiteral("Idle"));

    levelprobe::LevelPage* page = w->page(4)->level;
    page->LogPeriodCombo->setCurrentIndex(page->LogPeriodCombo->count() - 1);
    w->SensorTab->setCurrentIndex(4);
    page->StartLogBut->click();
    QTRY_VERIFY(page->PressUnitsQueryBut->isEnabled());
    w->ScanBut->click();
    const auto status = [&](int row) { return w->lists().ListView->topLevelItem(row)->text(8); };
    QCOMPARE(status(1), QStringLiteral("Idle"));
    QCOMPARE(status(4), QStringLiteral("Logging"));
    // The log goes on at the period chosen.
    QCOMPARE(page->LogPeriodCombo->currentText(), QStringLiteral("15 Minutes"));
    QVERIFY(w->logger().state().LogActive[4]);

    // "Stop Log" on another page stops the log, and the logging sensor's row says so.
    w->page(1)->level->StopLogBut->click();
    QCOMPARE(status(1), QStringLiteral("Idle"));
    QCOMPARE(status(4), QStringLiteral("Idle"));
}

void ScanTest::noSensorFound() {
    testing::TestServices t;
    SimBus sim;
    auto w = loadWindow(t, sim);
    QCOMPARE(t.dialogs.boxes.size(), 1);
    QCOMPARE(t.dialogs.boxes[0].title, QStringLiteral("Scan Sensors..."));
    QCOMPARE(t.dialogs.boxes[0].text,
             QStringLiteral("No sensors were found. Please check connections and addresses."));
    QCOMPARE(w->SensorTab->currentIndex(), 0);
    for (int i = 0; i <= 9; ++i)
        QVERIFY(!w->SensorTab->isTabEnabled(i));
}

void ScanTest::noScanInsideAScan() {
    testing::TestServices t;
    MainWindow* window = nullptr;
    int nested = 0;
    // While the scan waits for address 5, the user presses "Re-Scan Sensors" again.
    t.port->onWrite = [&](const QByteArray& request) {
        if (request == "5XUP!" && nested++ == 0)
            QTimer::singleShot(0, [&] { window->scanner().Poll_Sensors(); });
    };
    auto w = makeWindow(t, *t.port);
    window = w.get();
    w->load();
    QVERIFY(settle(*w));
    QVERIFY(nested >= 1);
    QCOMPARE(sentRequests(*w).count("0XUP!"), 1);
    QCOMPARE(sentRequests(*w).size(), 10);
    QVERIFY(!w->scanner().scanning());
}

void ScanTest::closingStopsAScan() {
    testing::TestServices t;
    MainWindow* window = nullptr;
    // The user quits while the scan waits for address 3.
    t.port->onWrite = [&](const QByteArray& request) {
        if (request == "3XUP!")
            QTimer::singleShot(0, [&] { window->close(); });
    };
    t.dialogs.answers.enqueue(platform::Dialogs::Button::Yes);
    auto w = makeWindow(t, *t.port);
    window = w.get();
    w->load();
    QVERIFY(settle(*w));
    QCOMPARE(sentRequests(*w).last(), QStringLiteral("3XUP!"));
    QCOMPARE(t.dialogs.boxes.size(), 1); // the quit question only
    QCOMPARE(t.dialogs.boxes[0].title, QStringLiteral("Quit."));
    QVERIFY(!w->scanner().scanning());
    QVERIFY(!w->scanner().scanWindow()->isVisible());
}

void ScanTest::getTakesAReadingThroughTheBus() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('2');
    auto w = loadWindow(t, sim);
    sim.bus.clearTraffic();
    QCOMPARE(w->logger().log(2).rowCount(), 1); // the scan's reading

    // "Get" is offered once calibration stage one is done.
    w->calibrationState().StageOne_Flag[2] = true;
    w->family().unlockPage(2);
    levelprobe::LevelPage* page = w->page(2)->level;
    QVERIFY(page->PressureBut->isEnabled());
    page->PressureBut->click();
    QTRY_COMPARE(w->logger().log(2).rowCount(), 2);

    QStringList requests;
    QByteArray data;
    for (const sim::TrafficRecord& r : sim.bus.traffic()) {
        if (r.kind == sim::TrafficRecord::Kind::Request)
            requests << QString::fromLatin1(r.bytes);
        else if (r.kind == sim::TrafficRecord::Kind::Reply)
            data = r.bytes; // the last reply is the data answer
    }
    QCOMPARE(requests, (QStringList{"2M!", "2D0!"}));
    // The newest row, on top, holds the values the sensor sent: 2+p+t CR LF.
    const logging::LogModel& log = w->logger().log(2);
    const QString answer = QString::fromLatin1(data.mid(1).trimmed());
    const int split = static_cast<int>(answer.indexOf(QRegularExpression("[+-]"), 1));
    QCOMPARE(log.text(0, 2), answer.left(split).remove('+'));
    QCOMPARE(log.text(0, 4), answer.mid(split).remove('+'));
    QCOMPARE(log.text(0, 3), page->PressUnitsCombo->text());
    QCOMPARE(page->PressureText->text(), log.text(0, 2));
    QVERIFY(page->PressUnitsQueryBut->isEnabled());
}

// The simulated probe answers every request of stage one, the zero calibration, leaving
// calibrate mode, the filter window and the reset, driven through the window's own controls.
void ScanTest::calibrationResetAndFilterOnTheBus() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('2');
    auto w = loadWindow(t, sim);
    auto& level = w->levelFamily();
    levelprobe::LevelPage* page = w->page(2)->level;
    // What the action showed in boxes, once the bus is quiet again.
    const auto run = [&](const std::function<void()>& act) -> QStringList {
        sim.bus.clearTraffic();
        t.dialogs.boxes.clear();
        act();
        QCoreApplication::processEvents();
        if (!QTest::qWaitFor([&] { return !w->link().busy(); }))
            return {QStringLiteral("bus still busy")};
        QStringList texts;
        for (const auto& box : t.dialogs.boxes)
            texts << box.text;
        return texts;
    };

    QCOMPARE(run([&] {
                 w->CalibrateCheck->setChecked(true);
                 page->StageOneBut->click();
             }),
             QStringList{"Stage 1 of Re-Calibration complete, proceed to stage 2."});
    QCOMPARE(busRequests(sim.bus),
             (QStringList{"2XREV0!", "2XU0,1.0!", "2XP1!", "2XTRIMOF0.0!", "2XANCLV0,0.0!",
                          "2XANCLV1,1.0!", "2XLOC0!", "2XU1,0.0!"}));

    t.dialogs.answers << platform::Dialogs::Button::Yes;
    QCOMPARE(run([&] { page->ZeroCalibrationBut->click(); }).size(), 2);
    const QString zero = page->ZeroCalibrationText->text();
    QVERIFY(!zero.isEmpty());
    QCOMPARE(busRequests(sim.bus), (QStringList{"2XANCLV0,0.0!", "2M!", "2D0!",
                                                "2XANCLV0," + zero + "!", "2M!", "2D0!"}));

    t.dialogs.answers << platform::Dialogs::Button::Yes;
    run([&] { page->CalibrationCompleteBut->click(); });
    QCOMPARE(busRequests(sim.bus), (QStringList{"2XP0!", "2M!", "2D0!"}));
    QVERIFY(page->CalibrateFrame->isHidden());

    QVERIFY(run([&] { w->mnuFilter->trigger(); }).isEmpty());
    QCOMPARE(busRequests(sim.bus), QStringList{"2XF!"});
    QVERIFY(!level.filter().window().MaxSampleRateText->text().isEmpty());
    level.filter().window().close();

    QCOMPARE(run([&] {
                 w->mnuReset->trigger();
                 level.reset().window().ResetBut->click();
             }),
             QStringList{"Reset is Complete."});
    QCOMPARE(busRequests(sim.bus),
             (QStringList{"2XREV0!", "2XU0,1.0!", "2XU1,0.0!", "2XLOF0!", "2XANCLV0,0.0!",
                          "2XANCLV1,1.0!", "2XLOC0!", "2XTRIMOF0.0!", "2XTRIMON1!", "2XANCALON1!",
                          "2XF0,10,0001!", "2M!", "2D0!"}));
    QCOMPARE(page->SampleRateText->text(), QStringLiteral("2 Seconds"));
}

// Refusals send nothing; a free target is asked first, then the sensor moves there; a
// sensor the last scan missed keeps its address from being taken.
void ScanTest::addressChangeOnTheBus() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('2');
    sim.bus.addLevelProbe('7');
    auto w = loadWindow(t, sim);
    levelprobe::LevelPage* page = w->page(2)->level;
    const auto choose = [&](int address) {
        return chooseAddress(*w, t, sim, page->AddressCombo, page->AddrBut, address);
    };
    QCOMPARE(choose(-1), QStringLiteral("Please select sensor address."));
    QCOMPARE(choose(2), QStringLiteral("Sensor is already set to address 2."));
    const QString inUse =
        QStringLiteral("Unable to set sensor to this address as address is already in use.");
    QCOMPARE(choose(7), inUse);
    QVERIFY(busRequests(sim.bus).isEmpty());

    sim.bus.addLevelProbe('4'); // not there at the scan
    QCOMPARE(choose(4), inUse);
    QCOMPARE(busRequests(sim.bus), QStringList{"4!"});
    QVERIFY(page->AddrBut->isEnabled());

    // The move's check-box requests go to the new address one after another.
    page->UnlockCheck->setChecked(true);
    w->page(5)->level->LocalOffsetCheck->setChecked(true);
    page->LocalOffsetCheck->setChecked(false);
    QVERIFY(QTest::qWaitFor([&] { return !w->link().busy(); }));
    QCOMPARE(choose(5), QString());
    QCOMPARE(busRequests(sim.bus),
             (QStringList{"5!", "2A5!", "5XUNLK1!", "5XLOC0!", "5M!", "5D0!"}));
    QVERIFY(w->SensorTab->isTabEnabled(5));
    QVERIFY(!w->SensorTab->isTabEnabled(2));
    QCOMPARE(w->SensorTab->currentIndex(), 5);
    QVERIFY(w->page(5)->level->AddrBut->isEnabled());

    // With two sensors on the bus the address query is refused.
    sim.bus.clearTraffic();
    w->mnuQueryAddress->trigger();
    QCOMPARE(t.dialogs.boxes.back().text,
             QStringLiteral("Unable to query sensor address when more than one sensor is "
                            "connected."));
    QVERIFY(busRequests(sim.bus).isEmpty());
}

// An encoder moves to a free address with everything shown for it; the old page is left.
void ScanTest::rotaryAddressChangeOnTheBus() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addRotaryEncoder('2');
    sim.bus.addRotaryEncoder('4');
    auto w = loadRotaryWindow(t, sim);
    rotary::RotaryPage* page = w->page(2)->rotary;
    const QString serial = w->lists().RotaryListView->topLevelItem(2)->text(1);
    const int logged = w->logger().log(2).rowCount();
    QVERIFY(!serial.isEmpty());
    const auto choose = [&](int address) {
        return chooseAddress(*w, t, sim, page->RotaryAddressCombo, page->RotaryAddrBut, address);
    };
    QCOMPARE(choose(4),
             QStringLiteral("Unable to set sensor to this address as address is already in use."));
    QVERIFY(busRequests(sim.bus).isEmpty());

    QCOMPARE(choose(6), QString());
    QCOMPARE(busRequests(sim.bus), (QStringList{"6!", "2A6!"}));
    QVERIFY(w->SensorTab->isTabEnabled(6));
    QVERIFY(!w->SensorTab->isTabEnabled(2));
    QCOMPARE(w->SensorTab->currentIndex(), 6);
    QCOMPARE(w->lists().RotaryListView->topLevelItem(6)->text(1), serial);
    QCOMPARE(w->logger().log(6).rowCount(), logged);
    QCOMPARE(w->logger().log(2).rowCount(), 0);
    QVERIFY(w->page(6)->rotary->RotaryAddrBut->isEnabled());
}

void ScanTest::addressChangeUnconfirmedOffersRescan() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('2');
    auto w = loadWindow(t, sim);
    sim::Faults silent;
    silent.silent = true;
    sim.bus.setFaults('2', silent);
    sim.bus.clearTraffic();
    t.dialogs.boxes.clear();
    t.dialogs.answers << platform::Dialogs::Button::Yes;
    levelprobe::LevelPage* page = w->page(2)->level;
    page->AddressCombo->setCurrentIndex(5);
    page->AddrBut->click();
    QCoreApplication::processEvents();
    QTRY_VERIFY(!w->link().busy() && !w->scanner().scanning());
    QCOMPARE(busRequests(sim.bus).mid(0, 2), (QStringList{"5!", "2A5!"}));
    QVERIFY(t.dialogs.boxes.front().text.startsWith("Sensor 2 did not confirm the change"));
    // Yes ran one scan, which found nobody answering now.
    QVERIFY(!busRequests(sim.bus).filter(QRegularExpression("^0")).isEmpty());
    QVERIFY(!w->SensorTab->isTabEnabled(5));
}

// The interface is pulled out during a query, during a log, or between requests: one box
// says so, the status shows no connection, nothing stays locked or busy, a log stops with its
// rows, and later ticks add no boxes; choosing the port again works.
void ScanTest::pulledCable_data() {
    QTest::addColumn<QString>("when");
    QTest::newRow("during a query") << "query";
    QTest::newRow("during a log") << "log";
    QTest::newRow("between requests") << "idle";
}

void ScanTest::pulledCable() {
    QFETCH(QString, when);
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('2');
    auto w = loadWindow(t, sim);
    levelprobe::LevelPage* page = w->page(2)->level;
    if (when == "log") {
        page->LogPeriodCombo->setCurrentIndex(1);
        page->StartLogBut->click();
        for (int i = 0; i < 3; ++i)
            w->logger().SecondTimer_Timer();
        QTRY_VERIFY(w->logger().log(2).rowCount() >= 3);
    } else if (when == "query") {
        page->RangeQueryBut->click();
        QVERIFY(w->link().awaitingReply());
    }
    const int rows = w->logger().log(2).rowCount();
    t.dialogs.boxes.clear();
    sim.port.unplug();
    QTRY_COMPARE(t.dialogs.boxes.size(), 1);
    QVERIFY(t.dialogs.boxes[0].text.startsWith("The serial port COM1"));
    QCOMPARE(w->StatusBar1[1]->text(), QStringLiteral("Not Connected. "));
    QVERIFY(!w->link().busy());
    QVERIFY(page->RangeQueryBut->isEnabled());
    QCOMPARE(w->loggingState().loggingPage, std::optional<int>());
    QCOMPARE(w->logger().log(2).rowCount(), rows);
    for (int i = 0; i < 5; ++i)
        w->logger().SecondTimer_Timer();
    QCoreApplication::processEvents();
    QCOMPARE(t.dialogs.boxes.size(), 1);

    // Plugged in again and chosen from the menu, the port works.
    w->mnuCom[0]->trigger();
    QVERIFY(w->StatusBar1[1]->text().startsWith("Connected"));
    sim.bus.clearTraffic();
    page->RangeQueryBut->click();
    QTRY_VERIFY(!w->link().busy());
    QCOMPARE(busRequests(sim.bus), QStringList{"2XRA!"});
}

void ScanTest::addressMoveTakesTheLogAlong() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('0');
    auto w = loadWindow(t, sim);
    logging::Logger& logger = w->logger();
    logger.AddLogRow(0, "1.5", "bar", "20.5", "Centigrade");
    QCOMPARE(logger.log(0).rowCount(), 2);
    const QString newest = logger.log(0).text(0, 2);
    const QString oldest = logger.log(0).text(1, 2);

    static_cast<levelprobe::LevelSensors&>(w->family()).moveRecord(0, 4);

    QCOMPARE(logger.log(4).rowCount(), 2);
    QCOMPARE(logger.log(4).text(0, 2), newest);
    QCOMPARE(logger.log(4).text(1, 2), oldest);
    QCOMPARE(logger.log(4).columnCount(), 6);
    QCOMPARE(logger.log(0).rowCount(), 0);
    QVERIFY(w->page(4)->log->ClearLogBut->isEnabled());
    QVERIFY(w->page(4)->log->SaveLogBut->isEnabled());
    QVERIFY(!w->page(0)->log->ClearLogBut->isEnabled());
    QVERIFY(!w->page(0)->log->SaveLogBut->isEnabled());
    QVERIFY(!w->SensorTab->isTabEnabled(0));
    QVERIFY(w->SensorTab->isTabEnabled(4));
    QCOMPARE(w->SensorTab->currentIndex(), 4);
}

void ScanTest::logPeriodsFollowSampleRate_data() {
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("shortest");
    QTest::addColumn<int>("entries");
    QTest::newRow("rate 0") << ""
                            << "2 Seconds" << 8;
    QTest::newRow("rate 0.2") << "0.2 Seconds"
                              << "2 Seconds" << 8;
    QTest::newRow("rate 2") << "2 Seconds"
                            << "5 Seconds" << 7;
    QTest::newRow("rate 1000") << "1000 Seconds"
                               << "" << 1;
}

void ScanTest::logPeriodsFollowSampleRate() {
    QFETCH(QString, rate);
    QFETCH(QString, shortest);
    QFETCH(int, entries);
    levelprobe::LevelPage page;
    levelprobe::FillLogPeriods(page, rate);
    QCOMPARE(page.LogPeriodCombo->count(), entries);
    QCOMPARE(page.LogPeriodCombo->itemText(0), QStringLiteral("Single Log"));
    QCOMPARE(page.LogPeriodCombo->currentIndex(), 0);
    if (entries > 1)
        QCOMPARE(page.LogPeriodCombo->itemText(1), shortest);
    QCOMPARE(page.LogPeriodCombo->itemText(entries - 1),
             entries > 1 ? QStringLiteral("15 Minutes") : QStringLiteral("Single Log"));
}

void ScanTest::repliesGoToThePageThatAsked() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('2');
    sim.bus.addLevelProbe('5');
    // The user keeps clicking page 2 while the scan works on page 5.
    auto w = makeWindow(t, sim.port, sim.time);
    QObject::connect(w->SensorTab, &QTabWidget::currentChanged, w.get(), [&w](int index) {
        if (index == 5)
            QTimer::singleShot(0, w.get(), [&w] { w->SensorTab->setCurrentIndex(2); });
    });
    w->load();
    QVERIFY(settle(*w));
    for (int p : {2, 5}) {
        QCOMPARE(w->page(p)->level->SensorIDList->count(), 4);
        QCOMPARE(w->logger().log(p).rowCount(), 1);
    }

    // Page 5 shown, page 2 takes a reading: it goes to 2 and comes back to page 2.
    QObject::disconnect(w->SensorTab, nullptr, w.get(), nullptr);
    w->SensorTab->setCurrentIndex(5);
    sim.bus.clearTraffic();
    levelprobe::LevelPage* two = w->page(2)->level;
    two->StartLogBut->click(); // "Single Log": one reading
    QTRY_COMPARE(w->logger().log(2).rowCount(), 2);
    const QStringList requests = busRequests(sim.bus);
    QCOMPARE(requests, (QStringList{"2M!", "2D0!"}));
    QCOMPARE(w->logger().log(5).rowCount(), 1);
    QCOMPARE(w->lists().ListView->topLevelItem(2)->text(4), two->PressureText->text());
    QVERIFY(two->PressUnitsQueryBut->isEnabled());
}

void ScanTest::lateAnswerEndsInItsTimeout() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('1');
    sim.bus.addLevelProbe('3');
    sim::Faults late;
    late.lateBy = sim::milliseconds(kTimeout + 50);
    sim.bus.setFaults('1', late);
    auto w = loadWindow(t, sim);
    // The late sensor's answers come after their time-outs and are not taken for anything:
    // the scan ends, the sensor counts as absent, the other one is found.
    QVERIFY(!w->scanner().scanning());
    QVERIFY(!w->SensorTab->isTabEnabled(1));
    QVERIFY(w->SensorTab->isTabEnabled(3));
    QVERIFY(w->lists().ListView->topLevelItem(1)->text(5).isEmpty());
    QCOMPARE(w->SensorTab->currentIndex(), 3);
    QCOMPARE(w->logger().log(3).rowCount(), 1);
}

void ScanTest::closedPortSaysSoOnce() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('4');
    auto w = loadWindow(t, sim);
    sim.port.close();
    const int sent = static_cast<int>(sentRequests(*w).size());

    w->ScanBut->click();
    QCOMPARE(t.dialogs.boxes.size(), 1);
    QCOMPARE(t.dialogs.boxes[0].text, QStringLiteral("Unable to connect to comm port."));
    QCOMPARE(sentRequests(*w).size(), sent);

    // A page's query shows the box once and leaves every control usable.
    levelprobe::LevelPage* page = w->page(4)->level;
    page->RangeQueryBut->click();
    QCOMPARE(t.dialogs.boxes.size(), 2);
    QVERIFY(page->RangeQueryBut->isEnabled());
    QVERIFY(w->ScanBut->isEnabled());
    QVERIFY(w->mnuCommsPort->menuAction()->isEnabled());
    QCOMPARE(w->link().replyStatus(), qint16(sdilink::Link::NotSent));
}

void ScanTest::portLostDuringAScan() {
    testing::TestServices t;
    // The adapter goes away while the scan asks address 2.
    t.port->onWrite = [&t](const QByteArray& request) {
        if (request == "2XUP!")
            t.port->close();
    };
    auto w = loadWindow(t, *t.port);
    // One message, for the first request that could not go out; then the scan ends.
    QCOMPARE(t.dialogs.boxes.size(), 1);
    QCOMPARE(t.dialogs.boxes[0].text, QStringLiteral("Unable to connect to comm port."));
    QCOMPARE(sentRequests(*w).last(), QStringLiteral("3XUP!"));
    QVERIFY(!w->scanner().scanning());
    QVERIFY(w->ScanBut->isEnabled());
}

// The interface pulled out at each request of a sequence, as the request goes out or just
// after its answer was taken: the sequence ends, nothing stays locked or busy, the status
// shows no connection and one message tells of the loss (a calibration or a reset also says
// where it stopped). Plugged in again and chosen from the menu, the next run goes on.
void ScanTest::pulledAtEveryRequest_data() {
    QTest::addColumn<QString>("sequence");
    for (const char* sequence : {"scan", "calibration", "reset", "unit change", "encoder scan"})
        QTest::newRow(sequence) << QString::fromLatin1(sequence);
}

void ScanTest::pulledAtEveryRequest() {
    QFETCH(QString, sequence);
    const bool rotary = sequence == "encoder scan";
    testing::TestServices t;
    SimBus sim;
    if (rotary)
        sim.bus.addRotaryEncoder('2');
    else
        sim.bus.addLevelProbe('2');
    auto w = rotary ? loadRotaryWindow(t, sim) : loadWindow(t, sim);
    levelprobe::LevelPage* page = w->page(2)->level;
    QPushButton* query = rotary ? w->page(2)->rotary->RotaryIDQueryBut : page->RangeQueryBut;
    const auto run = [&] {
        if (sequence.endsWith("scan")) {
            w->ScanBut->click();
        } else if (sequence == "calibration") {
            w->CalibrateCheck->setChecked(true);
            page->StageOneBut->click();
        } else if (sequence == "reset") {
            w->mnuReset->trigger();
            w->levelFamily().reset().window().ResetBut->click();
        } else {
            page->PressUnitsCombo->setCurrentIndex(page->PressUnitsCombo->findText("mbar"));
            page->PressUnitsBut->click();
        }
    };
    int pullAt = 0;
    bool answered = false; // pulled just after the answer instead of as the request goes out
    int seen = 0;
    QObject::connect(&sim.bus, &sim::Bus::recorded, w.get(), [&](const sim::TrafficRecord& r) {
        using Kind = sim::TrafficRecord::Kind;
        if (r.kind != (answered ? Kind::Reply : Kind::Request) || ++seen != pullAt)
            return;
        if (answered)
            QTimer::singleShot(0, &sim.port, [&sim] { sim.port.unplug(); });
        else
            sim.port.unplug();
    });
    for (bool afterAnswer : {false, true}) {
        for (int k = 1;; ++k) {
            if (!sim.port.isOpen())
                w->mnuCom[0]->trigger();
            t.dialogs.boxes.clear();
            seen = 0;
            pullAt = k;
            answered = afterAnswer;
            run();
            QCoreApplication::processEvents();
            QVERIFY(QTest::qWaitFor([&] { return !w->link().busy(); }));
            QTest::qWait(1); // the loss's message, when the last answer was the one pulled at
            if (sim.port.isOpen()) {
                QVERIFY2(k > 2, "the sequence ran");
                break;
            }
            const QString where =
                QString(afterAnswer ? "after answer %1: " : "at request %1: ").arg(k);
            QStringList boxes;
            for (const auto& box : t.dialogs.boxes)
                boxes << box.text;
            QCOMPARE(w->StatusBar1[1]->text(), QStringLiteral("Not Connected. "));
            QVERIFY2(query->isEnabled() && w->ScanBut->isEnabled(), qPrintable(where));
            QVERIFY2(boxes.filter("was lost").size() == 1 && boxes.size() <= 2 &&
                         boxes.filter("Unable to connect").isEmpty(),
                     qPrintable(where + boxes.join(" | ")));
            // A step pulled as it went out may have reached the sensor, and is named.
            if (!afterAnswer && !boxes.filter("stopped at").isEmpty())
                QVERIFY2(boxes.filter("may have reached the sensor").size() == 1,
                         qPrintable(where + boxes.join(" | ")));
        }
    }
}

void ScanTest::unitChangeRereadsThePage() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('3');
    auto w = loadWindow(t, sim);
    levelprobe::LevelPage* page = w->page(3)->level;
    sim.bus.clearTraffic();
    page->PressUnitsCombo->setCurrentIndex(page->PressUnitsCombo->findText("mbar"));
    page->PressUnitsBut->click();
    QVERIFY(settle(*w)); // the re-read goes on from the event loop
    QVERIFY(page->PressUnitsQueryBut->isEnabled());
    const QStringList requests = busRequests(sim.bus);
    QCOMPARE(requests,
             (QStringList{"3XUP13!", "3XP!", "3XE!", "3XLOF!", "3XRA!", "3XMOR!", "3M!", "3D0!"}));
    QTreeWidgetItem* row = w->lists().ListView->topLevelItem(3);
    QCOMPARE(row->text(5), QStringLiteral("mbar"));
    QCOMPARE(w->logger().log(3).text(0, 3), QStringLiteral("mbar"));
    QCOMPARE(row->text(8), QStringLiteral("Idle"));
}

void ScanTest::failedRereadBlanksTheRow() {
    testing::TestServices t;
    bool silent = false;
    script(*t.port, [&silent](const QByteArray& request) -> std::optional<QByteArray> {
        if (!request.startsWith('3') || silent)
            return std::nullopt;
        if (request == "3XUP13!") {
            silent = true; // the sensor is gone after the change
            return QByteArray("313");
        }
        if (request == "3M!")
            return QByteArray("30001");
        if (request == "3D0!")
            return QByteArray("3+1.5+20.1");
        if (request == "3XF!")
            return QByteArray("30,10,0001");
        return QByteArray("30");
    });
    auto w = loadWindow(t, *t.port);
    levelprobe::LevelPage* page = w->page(3)->level;
    const int before = static_cast<int>(sentRequests(*w).size());
    page->PressUnitsCombo->setCurrentIndex(page->PressUnitsCombo->findText("mbar"));
    page->PressUnitsBut->click();
    QVERIFY(settle(*w));
    QVERIFY(page->PressUnitsQueryBut->isEnabled());
    QCOMPARE(sentRequests(*w).mid(before), (QStringList{"3XUP13!", "3XP!"}));
    QTreeWidgetItem* row = w->lists().ListView->topLevelItem(3);
    for (int c = 1; c <= 8; ++c)
        QVERIFY2(row->text(c).isEmpty(), qPrintable(row->text(c)));
    QVERIFY(w->ScanBut->isEnabled());
}

void ScanTest::rotaryEncodersFound() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addRotaryEncoder('2');
    sim.bus.addRotaryEncoder('4');
    auto w = loadRotaryWindow(t, sim);

    for (int i = 0; i <= 9; ++i)
        QCOMPARE(w->SensorTab->isTabEnabled(i), i == 2 || i == 4);
    QCOMPARE(w->SensorTab->currentIndex(), 2);
    QVERIFY(t.dialogs.boxes.isEmpty());
    QStringList toTwo;
    for (const QString& r : sentRequests(*w))
        if (r.startsWith('2'))
            toTwo << r;
    QCOMPARE(toTwo, (QStringList{"2XMU!", "2XCP!", "2XRD!", "2XPC!", "2XCV!", "2XSN!", "2I!", "2C!",
                                 "2D0!"}));
    for (int i : {2, 4}) {
        rotary::RotaryPage* page = w->page(i)->rotary;
        QVERIFY(!page->RotaryMeasurementUnitsCombo->text().isEmpty());
        QVERIFY(!page->RotaryDirectionCombo->text().isEmpty());
        QVERIFY(!page->RotaryPulleyCircumText->text().isEmpty());
        QVERIFY(!page->RotaryMeasurementResText->text().isEmpty());
        QCOMPARE(page->RotarySensorIDList->count(), 4);
        QTreeWidgetItem* row = w->lists().RotaryListView->topLevelItem(i);
        QVERIFY(!row->text(1).isEmpty());
        QCOMPARE(row->text(2), page->RotaryCurrentValueText->text());
        QCOMPARE(row->text(3), page->RotaryMeasurementUnitsCombo->text());
        QCOMPARE(row->text(6), QStringLiteral("Idle"));
        QCOMPARE(w->logger().log(i).rowCount(), 1);
        QCOMPARE(w->logger().log(i).text(0, 2), row->text(2));
        QVERIFY(page->RotaryAddrBut->isEnabled());
    }
}

QTEST_MAIN(ScanTest)
#include "tst_scan.moc"
