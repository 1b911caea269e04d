#include "BusWindow.h"
#include "LevelProbe.h"
#include "core/levelprobe/LevelSensors.h"
#include "core/logging/LogModel.h"
#include "core/logging/Logger.h"
#include "core/report/ConfigReport.h"
#include "gui/app/SensorPage.h"
#include "gui/configure/ConfigureWindow.h"
#include "gui/configure/Configuring.h"
#include "gui/discovery/Scanner.h"
#include "gui/levelprobe/LevelPage.h"

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>

// A box or a file dialog a person leaves open never holds up the bus: a sequence under way
// goes on inside it, a log reading due meanwhile goes, and a sequence still waiting for the
// bus waits for the person's answer.
class OpenBoxesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sequenceGoesOnUnderAnOpenDialog_data();
    void sequenceGoesOnUnderAnOpenDialog();
    void queuedSequenceWaitsForTheAnswer();
    void calibrateModeLockedWhileASequenceRuns();
};

namespace {

bool sequenceOver(MainWindow& w) {
    const configure::ConfigureWindow* apply = w.configuring().window();
    return !w.scanner().scanning() && !w.link().busy() && (apply == nullptr || !apply->applying());
}

// Page 1 logging every second on a bus with sensors 1 and 3.
struct Logging {
    Logging() {
        // Sensor 1 set up otherwise than sensor 3, so that its report has rows to apply.
        sim::LevelProbe::Settings one;
        one.gravity = 9.7;
        one.temperatureUnit = 1;
        sim.bus.addLevelProbe('1').setSettings(one);
        sim.bus.addLevelProbe('3');
        w = loadWindow(t, sim);
        levelprobe::LevelPage* page = w->page(1)->level;
        page->LogPeriodCombo->setCurrentIndex(1); // its shortest period
        page->StartLogBut->click();
        settle(*w);
    }
    int rows() const { return w->logger().log(1).rowCount(); }
    // The log's ticks until a reading of it has come in.
    bool logReadingGoes() {
        const int before = rows();
        for (int tick = 0; tick < 5; ++tick) {
            w->logger().SecondTimer_Timer();
            if (testing::waitUntil([&] { return rows() > before; }, 1000))
                return true;
        }
        return false;
    }

    testing::TestServices t;
    SimBus sim;
    std::unique_ptr<MainWindow> w;
    QTemporaryDir dir;
};

} // namespace

void OpenBoxesTest::sequenceGoesOnUnderAnOpenDialog_data() {
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<bool>("fileDialog");
    QTest::newRow("scan, box") << "scan" << false;
    QTest::newRow("scan, file dialog") << "scan" << true;
    QTest::newRow("re-read, box") << "re-read" << false;
    QTest::newRow("apply, file dialog") << "apply" << true;
}

void OpenBoxesTest::sequenceGoesOnUnderAnOpenDialog() {
    QFETCH(QString, sequence);
    QFETCH(bool, fileDialog);
    Logging f;
    MainWindow& w = *f.w;
    if (sequence == "scan") {
        w.ScanBut->click();
    } else if (sequence == "re-read") {
        levelprobe::LevelPage* three = w.page(3)->level;
        three->PressUnitsCombo->setCurrentIndex(three->PressUnitsCombo->findText("bar"));
        three->PressUnitsBut->click();
    } else {
        const QString path = f.dir.filePath("one.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        auto& levels = dynamic_cast<levelprobe::LevelSensors&>(w.family());
        file.write(report::fileText(report::levelReport(levels.record(1), 1).lines));
        file.close();
        w.SensorTab->setCurrentIndex(3);
        f.t.dialogs.openChoices.enqueue(path);
        w.configuring().mnuApplyConfiguration_Click();
        QVERIFY(testing::waitUntil([&w] { return sequenceOver(w); }));
        w.configuring().window()->apply();
    }
    QVERIFY(!sequenceOver(w));

    // The dialog is opened while the sequence holds the bus and left open until it is over.
    bool over = false;
    bool readingWent = false;
    f.t.dialogs.whileOpen = [&] {
        over = testing::waitUntil([&w] { return sequenceOver(w); });
        readingWent = f.logReadingGoes();
    };
    if (fileDialog)
        w.dialogs().saveFile(QStringLiteral("Save Log"), f.dir.filePath("log.csv"),
                             {QStringLiteral("CSV (*.csv)")});
    else
        w.dialogs().messageBox(QStringLiteral("Log on Disk"), QStringLiteral("Left open."),
                               platform::Dialogs::Icon::Exclamation);
    QVERIFY(over);
    QVERIFY(readingWent);
}

void OpenBoxesTest::queuedSequenceWaitsForTheAnswer() {
    // A scan asked for while page 3's range query holds the bus waits for it; a box opened
    // then (the question after a reset, say) keeps the scan waiting until it is answered,
    // while a reading asked for meanwhile goes.
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('1');
    sim.bus.addLevelProbe('3');
    auto w = loadWindow(t, sim);
    sim.bus.clearTraffic();
    w->page(3)->level->RangeQueryBut->click();
    w->scanner().Poll_Sensors(); // as the answer to a rescan question starts it
    QCOMPARE(w->link().queued(), 1);
    bool startedUnderTheBox = true;
    bool readingWent = false;
    t.dialogs.whileOpen = [&] {
        QVERIFY(testing::waitUntil([&] { return !w->link().held(); })); // 3XRA! answered
        const int before = w->logger().log(1).rowCount();
        w->logger().requestReading(1);
        readingWent = testing::waitUntil([&] { return w->logger().log(1).rowCount() > before; });
        startedUnderTheBox = testing::waitUntil([&] { return w->scanner().scanning(); }, 300);
    };
    w->dialogs().messageBox(QStringLiteral("Sensor Reset"), QStringLiteral("Reset is Complete."),
                            platform::Dialogs::Icon::Information);
    QVERIFY(readingWent);
    QVERIFY(!startedUnderTheBox);
    const qsizetype answered = busRequests(sim.bus).size();
    QVERIFY(!busRequests(sim.bus).contains("0XUP!"));
    // Answered: the scan goes.
    QVERIFY(settle(*w));
    QVERIFY(busRequests(sim.bus).indexOf("0XUP!") >= answered);
}

void OpenBoxesTest::calibrateModeLockedWhileASequenceRuns() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('2');
    auto w = loadWindow(t, sim);
    QVERIFY(w->CalibrateCheck->isEnabled());
    w->ScanBut->click();
    QVERIFY(!w->CalibrateCheck->isEnabled());
    QVERIFY(settle(*w));
    QVERIFY(w->CalibrateCheck->isEnabled());
    QVERIFY(!w->calibrationState().Calibrate_Flag);
}

QTEST_MAIN(OpenBoxesTest)
#include "tst_openboxes.moc"
