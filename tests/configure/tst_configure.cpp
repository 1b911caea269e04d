#include "../discovery/BusWindow.h"
#include "LevelProbe.h"
#include "RotaryEncoder.h"
#include "core/levelprobe/LevelSensors.h"
#include "core/link/Link.h"
#include "core/report/ConfigReport.h"
#include "core/report/ReportReader.h"
#include "core/rotary/RotarySensors.h"
#include "gui/app/SensorPage.h"
#include "gui/configure/ConfigureWindow.h"
#include "gui/configure/Configuring.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/rotary/RotaryPage.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <sys/stat.h>

// A saved configuration applied to other sensors on the simulated bus, read back row by row,
// and compared.
class ConfigureTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reportOfOneSensorAppliedToTwo();
    void refusedAndChangedSetsAreSaid();
    void filesThatDoNotFit_data();
    void filesThatDoNotFit();
    void compareMarksTheRowsThatDiffer();
    void encodersTheSameWay();
    void readsTheSensorsBeforeShowing();
    void unitChangeReReadComesFirst();
    void valuesGoAsTheBoxesHoldThem();
    void endedDuringAnApply_data();
    void endedDuringAnApply();
};

namespace {

using configure::ConfigRow;
using Outcome = ConfigRow::Outcome;

// Sensor 1 set up otherwise than a new probe in every setting a report carries.
sim::LevelProbe::Settings configured() {
    sim::LevelProbe::Settings s;
    s.pressureUnit = 3;
    s.temperatureUnit = 1;
    s.densityCorrection = 1;
    s.gravity = 9.81;
    s.range = 2.5;
    s.maxOverRange = 3;
    s.reverse = 1;
    s.localLevel = 0.25;
    return s;
}

levelprobe::LevelSensors& family(MainWindow& w) {
    return dynamic_cast<levelprobe::LevelSensors&>(w.family());
}

QStringList settingLines(MainWindow& w, int p) {
    QStringList lines = report::levelReport(family(w).record(p), p).lines;
    return lines.mid(lines.indexOf(QRegularExpression("Sensor Address = .*")) + 1);
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

// The bus free and the window's reading or apply ended.
bool settled(MainWindow& w) {
    return testing::waitUntil([&w] {
        const configure::ConfigureWindow* window = w.configuring().window();
        return !w.link().busy() && (window == nullptr || !window->applying());
    });
}

// Opens "Apply Configuration..." on page p with the file, once it has read the sensor.
configure::ConfigureWindow* openApply(MainWindow& w, testing::TestServices& t, int p,
                                      const QString& path) {
    w.SensorTab->setCurrentIndex(p);
    t.dialogs.openChoices.enqueue(path);
    w.configuring().mnuApplyConfiguration_Click();
    settled(w);
    return w.configuring().window();
}

QMap<QString, QString> outcomes(const std::vector<ConfigRow>& rows) {
    QMap<QString, QString> shown;
    for (const ConfigRow& row : rows)
        if (row.outcome != Outcome::None)
            shown[row.label] = configure::outcomeText(row);
    return shown;
}

void unlock(MainWindow& w, int p) {
    w.page(p)->level->UnlockCheck->setChecked(true);
    QVERIFY(QTest::qWaitFor([&w] { return !w.link().busy(); }));
}

} // namespace

void ConfigureTest::reportOfOneSensorAppliedToTwo() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('1').setSettings(configured());
    sim.bus.addLevelProbe('3');
    sim.bus.addLevelProbe('5');
    auto w = loadWindow(t, sim);
    QTemporaryDir dir;
    const QString path = writeFile(
        dir, "Sensor_1.txt", report::fileText(report::levelReport(family(*w).record(1), 1).lines));
    unlock(*w, 3); // the range and the over-range need it, as their Set buttons do
    unlock(*w, 5);

    configure::ConfigureWindow* window = openApply(*w, t, 3, path);
    QVERIFY(window);
    window->setTarget(5, true);
    window->apply();
    QVERIFY(settled(*w));

    const QMap<QString, QString> applied{{"Pressure Units", "applied"},
                                         {"Temperature Units", "applied"},
                                         {"Density Correction", "applied"},
                                         {"Local Gravity", "applied"},
                                         {"Reverse", "applied"},
                                         {"Range", "applied"},
                                         {"Maximium Over Range", "applied"},
                                         {"Local Level", "applied"}};
    QCOMPARE(outcomes(window->rows(3)), applied);
    QCOMPARE(outcomes(window->rows(5)), applied);
    QCOMPARE(window->SummaryLabel->text(),
             "Sensor 3: 8 applied, 0 different, 0 failed\nSensor 5: 8 applied, 0 different, "
             "0 failed");
    QVERIFY(t.dialogs.boxes.isEmpty());

    // A new scan asks every value again: both answer with sensor 1's.
    w->ScanBut->click();
    QVERIFY(settled(*w));
    QCOMPARE(settingLines(*w, 3), settingLines(*w, 1));
    QCOMPARE(settingLines(*w, 5), settingLines(*w, 1));
}

void ConfigureTest::refusedAndChangedSetsAreSaid() {
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('1').setSettings(configured());
    sim.bus.addLevelProbe('3');
    sim.bus.addLevelProbe('5');
    sim::Faults refuses;
    refuses.refuseSet = {"XE"};
    sim.bus.setFaults('3', refuses);
    sim::Faults differs;
    differs.differ = {"XLOF"};
    sim.bus.setFaults('5', differs);
    auto w = loadWindow(t, sim);
    QTemporaryDir dir;
    const QString path = writeFile(
        dir, "Sensor_1.txt", report::fileText(report::levelReport(family(*w).record(1), 1).lines));

    configure::ConfigureWindow* window = openApply(*w, t, 3, path);
    window->setTarget(5, true);
    window->apply();
    QVERIFY(settled(*w));

    // Locked, the range and over-range are left alone, with the reason.
    const QString locked = "not applicable: Needs \"Unlock\" ticked on the page, as its Set does.";
    QMap<QString, QString> three{{"Pressure Units", "applied"},
                                 {"Temperature Units", "applied"},
                                 {"Density Correction", "applied"},
                                 {"Local Gravity", "failed: no answer to 3XE9.81!"},
                                 {"Reverse", "applied"},
                                 {"Range", locked},
                                 {"Maximium Over Range", locked},
                                 {"Local Level", "applied"}};
    QCOMPARE(outcomes(window->rows(3)), three);
    QMap<QString, QString> five = three;
    five["Local Gravity"] = "applied";
    five["Local Level"] = "different: the sensor has \"1.25\"";
    QCOMPARE(outcomes(window->rows(5)), five);
    QCOMPARE(window->SummaryLabel->text(),
             "Sensor 3: 5 applied, 0 different, 1 failed, 2 not applicable\nSensor 5: 5 applied, "
             "1 different, 0 failed, 2 not applicable");

    // "Unlock" ticked on page 5 once the window is open: its range rows go at the next Apply.
    unlock(*w, 5);
    window->apply();
    QVERIFY(settled(*w));
    QCOMPARE(outcomes(window->rows(5)).value("Range"), QStringLiteral("applied"));
    QCOMPARE(outcomes(window->rows(5)).value("Maximium Over Range"), QStringLiteral("applied"));

    // Nothing goes while sensor 3 logs.
    w->SensorTab->setCurrentIndex(3);
    w->page(3)->level->LogPeriodCombo->setCurrentIndex(1);
    w->page(3)->level->StartLogBut->click();
    QVERIFY(settled(*w));
    window = openApply(*w, t, 3, path); // reads the sensor's settings, as for any sensor
    sim.bus.clearTraffic();
    window->apply();
    QCOMPARE(window->SummaryLabel->text(),
             QStringLiteral("Sensor 3: nothing applied. Sensor 3 is logging: stop its log first."));
    QVERIFY(!busRequests(sim.bus).join(' ').contains("XUP"));
}

void ConfigureTest::filesThatDoNotFit_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message"); // the box, or the unit row's outcome
    const QByteArray good = "SDI Version = 1.3\nSerial Number = 12\nSensor Address = 1\nRange = "
                            "10\nMaximium Over Range = 12\nPressure Units = mbar\nTemperature "
                            "Units = Centigrade\nDensity Correction = Compensated\nLocal Gravity "
                            "= 9.81\nLocal Level = 0\nReverse = Off\nMax. Sample Rate = 2 "
                            "Seconds\nLogging Period = 1 Second\n";
    QTest::newRow("unit spelled wrong")
        << QByteArray(good).replace("mbar", "mbr")
        << "not applicable: \"mbr\" is not in the list of pressure units.";
    QTest::newRow("unknown line") << QByteArray(good).replace("Reverse = Off", "Reverse: Off")
                                  << "Line 11 (\"Reverse: Off\")";
    QTest::newRow("an encoder's report")
        << QByteArray("Serial Number = 9\nSensor Address = 2\nMaximum Range = 5\nCounts Per "
                      "Revolution = 1024\nMeasurement Resolution = 0.3\nMeasurement Units = "
                      "Metres\nPulley Circumference (mm) = 200\nRotation Direction = "
                      "Clockwise\nLogging Period = 1 Second\n")
        << "Line 3 (\"Maximum Range = 5\") belongs to a rotary-encoder configuration report; the "
           "sensors here are level probes.";
    // Nothing writes to the pipe: reading it would wait for ever.
    QTest::newRow("a pipe") << QByteArray("<fifo>") << "is not a file.";
}

void ConfigureTest::filesThatDoNotFit() {
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('3');
    auto w = loadWindow(t, sim);
    QTemporaryDir dir;
    t.dialogs.boxes.clear();
    QString path = dir.filePath(QStringLiteral("pipe"));
    if (file == "<fifo>")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        path = writeFile(dir, "edited.txt", file);
    configure::ConfigureWindow* window = openApply(*w, t, 3, path);
    if (message.startsWith("not applicable")) {
        QVERIFY(window);
        QCOMPARE(outcomes(window->rows(3)).value("Pressure Units"), message);
        sim.bus.clearTraffic();
        window->apply();
        QVERIFY(settled(*w));
        QVERIFY(!busRequests(sim.bus).join(' ').contains("XUP"));
    } else {
        QVERIFY(!window);
        QCOMPARE(t.dialogs.boxes.size(), 1);
        QVERIFY2(t.dialogs.boxes[0].text.contains(message), qPrintable(t.dialogs.boxes[0].text));
    }
}

void ConfigureTest::compareMarksTheRowsThatDiffer() {
    testing::TestServices t;
    SimBus sim;
    sim::LevelProbe::Settings other;
    other.reverse = 1;
    other.localLevel = 0.5;
    sim.bus.addLevelProbe('3');
    sim.bus.addLevelProbe('5').setSettings(other);
    auto w = loadWindow(t, sim);
    w->SensorTab->setCurrentIndex(3);
    w->configuring().mnuCompareConfiguration_Click();
    configure::ConfigureWindow* window = w->configuring().window();
    window->setOtherSensor(5);
    QVERIFY(settled(*w));
    QStringList differ;
    for (const ConfigRow& row : window->rows(3))
        if (row.differs())
            differ << row.label;
    QCOMPARE(differ, (QStringList{"Serial Number", "Sensor Address", "Local Level", "Reverse"}));
    QCOMPARE(window->Table->topLevelItem(9)->text(3), QStringLiteral("differs"));
    QCOMPARE(window->Table->topLevelItem(8)->text(3), QString());
}

void ConfigureTest::encodersTheSameWay() {
    // Units, circumference and direction go; the counts, the resolution and the maximum
    // range are shown, never sent; the logging period goes to the page when asked for.
    testing::TestServices t;
    SimBus sim;
    sim::RotaryEncoder::Settings set;
    set.units = 1;
    set.circumference = 200;
    set.direction = 0;
    set.countsPerRev = 500;
    sim.bus.addRotaryEncoder('2').setSettings(set);
    sim.bus.addRotaryEncoder('4');
    auto w = loadRotaryWindow(t, sim);
    auto& encoders = dynamic_cast<rotary::RotarySensors&>(w->family());
    w->page(2)->rotary->RotaryLogPeriodCombo->setCurrentIndex(3);
    QTemporaryDir dir;
    const QString path = writeFile(
        dir, "Rotary.txt", report::fileText(report::rotaryReport(encoders.record(2), 2).lines));
    configure::ConfigureWindow* window = openApply(*w, t, 4, path);
    window->LogPeriodCheck->setChecked(true);
    window->apply();
    QVERIFY(settled(*w));
    const QMap<QString, QString> applied{{"Measurement Units", "applied"},
                                         {"Pulley Circumference (mm)", "applied"},
                                         {"Rotation Direction", "applied"},
                                         {"Logging Period", "applied"}};
    QCOMPARE(outcomes(window->rows(4)), applied);
    QCOMPARE(encoders.record(4).countsPerRev, QStringLiteral("1000"));
    QCOMPARE(w->page(4)->rotary->RotaryLogPeriodCombo->currentText(),
             w->page(2)->rotary->RotaryLogPeriodCombo->currentText());
    QVERIFY(!busRequests(sim.bus).join(' ').contains("4XPC5"));
}

void ConfigureTest::readsTheSensorsBeforeShowing() {
    // Sensor 3's gravity and density are changed behind the tool's back after the scan: the
    // window reads them before it plans, so the rows tick what differs now.
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('1').setSettings(configured());
    sim::LevelProbe& three = sim.bus.addLevelProbe('3');
    three.setSettings(configured());
    auto w = loadWindow(t, sim);
    sim::LevelProbe::Settings changed = configured();
    changed.gravity = 9.7;
    changed.densityCorrection = 0;
    three.setSettings(changed);
    QTemporaryDir dir;
    const QString path = writeFile(
        dir, "Sensor_1.txt", report::fileText(report::levelReport(family(*w).record(1), 1).lines));
    configure::ConfigureWindow* window = openApply(*w, t, 3, path);
    QStringList ticked;
    for (const ConfigRow& row : window->rows(3))
        if (row.ticked)
            ticked << row.label;
    QCOMPARE(ticked, (QStringList{"Density Correction", "Local Gravity"}));
    // The page shows what the sensor answered, not what the last scan read.
    QCOMPARE(w->page(3)->level->LocalGravityText->text(), QStringLiteral("9.7"));
}

void ConfigureTest::unitChangeReReadComesFirst() {
    // The re-read that follows a pressure-unit set runs inside the apply, before the next
    // set: the rows read back what the sensor has after the change.
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('1').setSettings(configured());
    sim.bus.addLevelProbe('3');
    auto w = loadWindow(t, sim);
    unlock(*w, 3);
    QTemporaryDir dir;
    const QString path = writeFile(
        dir, "Sensor_1.txt", report::fileText(report::levelReport(family(*w).record(1), 1).lines));
    configure::ConfigureWindow* window = openApply(*w, t, 3, path);
    sim.bus.clearTraffic();
    window->apply();
    QVERIFY(settled(*w));
    const QStringList sent = busRequests(sim.bus);
    const qsizetype unit = sent.indexOf("3XUP3!");
    QVERIFY2(unit >= 0, qPrintable(sent.join(' ')));
    QCOMPARE(sent.mid(unit + 1, 6),
             (QStringList{"3XP!", "3XE!", "3XLOF!", "3XRA!", "3XMOR!", "3M!"}));
    QCOMPARE(sent.value(unit + 8).left(4), QStringLiteral("3XUT"));
    QCOMPARE(outcomes(window->rows(3)).value("Range"), QStringLiteral("applied"));
}

void ConfigureTest::valuesGoAsTheBoxesHoldThem() {
    // A hand-edited report: ".5" goes as the level box holds it once it loses focus ("0.5"),
    // and numbers read back in another form ("+0.5", "9.81") count as the same value.
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('3');
    auto w = loadWindow(t, sim);
    QTemporaryDir dir;
    QStringList lines = report::levelReport(family(*w).record(3), 3).lines;
    for (QString& line : lines) {
        if (line.startsWith("Local Level = "))
            line = "Local Level = .5";
        if (line.startsWith("Local Gravity = "))
            line = "Local Gravity = 9.8100";
    }
    const QString path = writeFile(dir, "edited.txt", report::fileText(lines));
    configure::ConfigureWindow* window = openApply(*w, t, 3, path);
    sim.bus.clearTraffic();
    t.dialogs.boxes.clear();
    window->apply();
    QVERIFY(settled(*w));
    const QStringList sent = busRequests(sim.bus);
    QVERIFY2(sent.contains("3XLOF0.5!") && sent.contains("3XE9.8100!"), qPrintable(sent.join(' ')));
    const QMap<QString, QString> rows = outcomes(window->rows(3));
    QCOMPARE(rows.value("Local Level"), QStringLiteral("applied"));
    QCOMPARE(rows.value("Local Gravity"), QStringLiteral("applied"));
    QVERIFY(t.dialogs.boxes.isEmpty());
}

void ConfigureTest::endedDuringAnApply_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("why"); // the rows not sent
    QTest::newRow("Stop") << "stop"
                          << "not sent: stopped";
    QTest::newRow("port lost") << "unplug"
                               << "not sent: the port is closed";
    QTest::newRow("quit") << "quit"
                          << "not sent: the program was closed";
}

void ConfigureTest::endedDuringAnApply() {
    // Three sets answered, then the apply is ended: those rows "applied" by their sets'
    // answers, the rest "not sent", one message at most, and the bus free.
    QFETCH(QString, how);
    QFETCH(QString, why);
    testing::TestServices t;
    SimBus sim;
    sim.bus.addLevelProbe('1').setSettings(configured());
    sim.bus.addLevelProbe('3');
    auto w = loadWindow(t, sim);
    QTemporaryDir dir;
    const QString path = writeFile(
        dir, "Sensor_1.txt", report::fileText(report::levelReport(family(*w).record(1), 1).lines));
    configure::ConfigureWindow* window = openApply(*w, t, 3, path);
    t.dialogs.boxes.clear();
    bool ended = false;
    QObject::connect(&w->link(), &sdilink::Link::exchangeEnded, window, [&] {
        // Once the density correction's set has been answered.
        if (ended || !sentRequests(*w).contains("3XP1!"))
            return;
        ended = true;
        if (how == "stop") {
            QCOMPARE(window->CloseBut->text(), QStringLiteral("Stop"));
            window->CloseBut->click();
        } else if (how == "unplug") {
            sim.port.unplug();
        } else {
            t.dialogs.answers.enqueue(platform::Dialogs::Button::Yes);
            w->close();
        }
    });
    window->apply();
    QVERIFY(testing::waitUntil([&] { return !window->applying(); }));
    const QMap<QString, QString> rows = outcomes(window->rows(3));
    QCOMPARE(rows.value("Temperature Units"), QStringLiteral("applied"));
    QCOMPARE(rows.value("Density Correction"), QStringLiteral("applied"));
    for (const char* label : {"Local Gravity", "Reverse", "Local Level"})
        QCOMPARE(rows.value(label), why);
    QVERIFY(window->SummaryLabel->text().contains("not sent"));
    QCOMPARE(window->CloseBut->text(), QStringLiteral("Close"));
    for (const auto& box : t.dialogs.boxes)
        QVERIFY2(!box.text.contains("Unable to connect"), qPrintable(box.text));
    QVERIFY(t.dialogs.boxes.size() <= 1 + (how == "quit" ? 1 : 0));
    if (how == "quit")
        QVERIFY(!window->isVisible());
}

QTEST_MAIN(ConfigureTest)
#include "tst_configure.moc"
