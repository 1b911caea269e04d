#include "LevelFixture.h"
#include "core/protocol/ReplyLine.h"
#include "gui/levelprobe/Calibration.h"
#include "gui/levelprobe/FilterWindow.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/levelprobe/Reset.h"
#include "gui/widgets/UpDown.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <functional>

using Button = platform::Dialogs::Button;

namespace {

// The level-probe pages with the window's "Calibrate Mode" box, sensors at 1, 2 and 6, and
// a scripted probe that answers every request 10 ms after it (unless told to stay silent):
// set requests with the value's last character, a measurement with "no wait, one value",
// data with `reading` (nothing when empty), the filter with its values.
struct Bench : LevelFixture {
    Bench() {
        clock.setAutoAdvance(true);
        family->calibrationMode().setCalibrateCheck(&check);
        for (int p = 0; p <= 9; ++p)
            sensors->setPresent(p, p == 1 || p == 2 || p == 6);
        port->onWrite = [this](const QByteArray& r) {
            if (r.size() == 3 && r.endsWith("M!"))
                calls << QStringLiteral("measure %1").arg(QChar::fromLatin1(r[0]));
            if (static_cast<int>(port->writes.size()) == silentAt)
                return;
            clock.after(sim::milliseconds(10), port.get(),
                        [this, line = r + answer(r) + "\r\n"] { port->receive(line); });
        };
    }

    QByteArray answer(const QByteArray& r) const {
        const QByteArray a = r.left(1);
        const QByteArray body = r.mid(1, r.size() - 2);
        if (body == "M" || body.startsWith("XSPM"))
            return a + "0011";
        if (body == "D0")
            return reading.isEmpty() ? a : a + reading + "+20.5";
        if (body == "XF")
            return a + filter;
        if (body.startsWith("XF0,"))
            return a + body.mid(2);
        return a + body.right(1);
    }

    QStringList sent() const {
        QStringList out;
        for (const QByteArray& w : port->writes)
            out << QString::fromLatin1(w);
        return out;
    }
    QStringList boxTexts() const {
        QStringList out;
        for (const auto& b : dialogs.boxes)
            out << b.text;
        return out;
    }
    void enterCalibrateMode() { check.setChecked(true); }
    // Stage one, then the zero or slope calibration of page p answered with Yes, at a reading.
    void calibrate(int p, bool slope, const QByteArray& at) {
        runStageOne(p);
        reading = at;
        dialogs.answers << Button::Yes;
        (slope ? page(p).SlopeCalibrationBut : page(p).ZeroCalibrationBut)->click();
        settle();
    }
    // Lets the last reading of a sequence come in.
    void settle() {
        QCoreApplication::processEvents(); // the queued "bus free" sends a waiting reading
        QVERIFY(testing::waitUntil([this] { return !link->busy(); }));
    }
    void runStageOne(int p) {
        enterCalibrateMode();
        page(p).StageOneBut->click();
        settle();
        port->writes.clear();
        dialogs.boxes.clear();
    }

    QCheckBox check;
    int silentAt = -1; // the 1-based request left unanswered
    QByteArray reading = "+0.012";
    QByteArray filter = "0,10,0001";
};

} // namespace

class CalibrationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void calibrateModeSwitchesEveryPage();
    void stageOneSendsEightRequestsWithoutMeasuring();
    void resetSendsElevenRequestsThenMeasures();
    void sequencesStopAtTheirFourthRequest_data();
    void sequencesStopAtTheirFourthRequest();
    void zeroAndSlope_data();
    void zeroAndSlope();
    void refusals_data();
    void refusals();
    void leavingAsksAndRestoresDensity();
    void leavingWithoutStageOneSendsNothing();
    void autoZeroAndClearOffsetsAskFirst();
    void filterWindow();
    void filterSetDuringALogKeepsItsPeriod();
};

void CalibrationTest::calibrateModeSwitchesEveryPage() {
    Bench f;
    f.tabs->setCurrentIndex(2);
    f.enterCalibrateMode();
    for (int p = 0; p <= 9; ++p) {
        QVERIFY(f.page(p).ParameterFrame->isHidden());
        QVERIFY(!f.page(p).CalibrateFrame->isHidden());
        QVERIFY(!f.page(p).ZeroCalibrationBut->isEnabled());
    }
    QVERIFY(f.calibration.Calibrate_Flag);
    QVERIFY(f.port->writes.empty());

    // Calibrate mode cannot start while a log runs: the log's Stop button would be hidden.
    Bench g;
    g.page(1).LogPeriodCombo->setCurrentIndex(1);
    g.logger->StartLogBut_Click(1);
    g.enterCalibrateMode();
    QVERIFY(!g.check.isChecked());
    QVERIFY(!g.page(1).ParameterFrame->isHidden());
    QCOMPARE(g.boxTexts(), QStringList{"Please stop the log before entering calibrate mode."});
}

void CalibrationTest::stageOneSendsEightRequestsWithoutMeasuring() {
    Bench f;
    f.calibration.UpdateReadings_Flag = true; // stale: dropped when the sequence starts
    f.enterCalibrateMode();
    f.page(1).StageOneBut->click();
    f.settle();
    QCOMPARE(f.sent(), (QStringList{"1XREV0!", "1XU0,1.0!", "1XP1!", "1XTRIMOF0.0!",
                                    "1XANCLV0,0.0!", "1XANCLV1,1.0!", "1XLOC0!", "1XU1,0.0!"}));
    QVERIFY(f.calls.filter("measure").isEmpty());
    QCOMPARE(f.boxTexts(), QStringList{"Stage 1 of Re-Calibration complete, proceed to stage 2."});
    QCOMPARE(f.dialogs.boxes.front().title, QStringLiteral("Stage One Calibration"));
    QVERIFY(!f.calibration.Calibrate_Flag);
    QVERIFY(!f.calibration.UpdateReadings_Flag);
    QVERIFY(!f.link->held());
    // Stage one counts for the page that ran it only.
    QVERIFY(f.page(1).ZeroCalibrationBut->isEnabled());
    QVERIFY(f.page(1).PressureBut->isEnabled());
    f.family->UnlockLevelPage(2);
    QVERIFY(!f.page(2).ZeroCalibrationBut->isEnabled());
    f.port->writes.clear();
    f.family->calibrationMode().ZeroCalibrationBut_Click(2);
    QVERIFY(f.port->writes.empty());
}

void CalibrationTest::resetSendsElevenRequestsThenMeasures() {
    Bench f;
    f.tabs->setCurrentIndex(2);
    levelprobe::Reset& reset = f.family->reset();
    reset.mnuReset_Click();
    levelprobe::ResetWindow& w = reset.window();
    QVERIFY(w.isVisible());
    QVERIFY(w.isModal());
    QCOMPARE(w.windowTitle(), QStringLiteral("Reset Sensor"));
    QCOMPARE(w.SensorCombo->currentText(), QStringLiteral("Sensor 2"));
    // The chain waits for each reply while the modal window is open.
    w.ResetBut->click();
    f.settle();
    QCOMPARE(f.sent(), (QStringList{"2XREV0!", "2XU0,1.0!", "2XU1,0.0!", "2XLOF0!", "2XANCLV0,0.0!",
                                    "2XANCLV1,1.0!", "2XLOC0!", "2XTRIMOF0.0!", "2XTRIMON1!",
                                    "2XANCALON1!", "2XF0,10,0001!", "2M!", "2D0!"}));
    QCOMPARE(f.boxTexts(), QStringList{"Reset is Complete."});
    QCOMPARE(f.dialogs.boxes.front().title, QStringLiteral("Sensor Reset"));
    // No set reply measured during the chain: the one reading is the one after the box.
    QCOMPARE(f.calls.filter("measure"), QStringList{"measure 2"});
    QCOMPARE(f.page(2).SampleRateText->text(), QStringLiteral("2 Seconds"));
    QVERIFY(w.isVisible());
    QVERIFY(w.ResetBut->isEnabled());

    // A sensor that did not answer the scan is refused.
    f.port->writes.clear();
    f.dialogs.boxes.clear();
    w.SensorCombo->setCurrentIndex(5);
    w.ResetBut->click();
    QVERIFY(f.port->writes.empty());
    QCOMPARE(f.boxTexts(), QStringList{"The selected sensor is not enabled."});
}

void CalibrationTest::sequencesStopAtTheirFourthRequest_data() {
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QString>("fourth");
    QTest::addColumn<QString>("step");
    QTest::newRow("stage one") << false << "2XTRIMOF0.0!"
                               << "step 4 of 8 (trim offsets off)";
    QTest::newRow("reset") << true << "2XLOF0!"
                           << "step 4 of 11 (local level 0)";
}

void CalibrationTest::sequencesStopAtTheirFourthRequest() {
    QFETCH(bool, reset);
    QFETCH(QString, fourth);
    QFETCH(QString, step);
    Bench f;
    f.silentAt = 4;
    f.tabs->setCurrentIndex(0); // the reset works on its sensor's page, whatever is shown
    if (reset) {
        f.family->reset().ResetSensor(2);
    } else {
        f.enterCalibrateMode();
        f.page(2).StageOneBut->click();
    }
    f.settle();
    QCOMPARE(f.sent().size(), 4);
    QCOMPARE(f.sent().back(), fourth);
    QCOMPARE(f.dialogs.boxes.size(), 1);
    const QString text = f.dialogs.boxes.front().text;
    QVERIFY2(text.contains(step) && text.contains("did not answer " + fourth), qPrintable(text));
    QVERIFY(!text.contains("Complete"));
    QVERIFY(!f.link->held());
    QVERIFY(!f.calibration.Calibrate_Flag);
    QVERIFY(!f.calibration.stageOneDone(2));
    QVERIFY(f.page(2).StageOneBut->isEnabled());
    QVERIFY(f.page(2).RangeBut->isEnabled());
    QVERIFY(f.check.isEnabled());
    QVERIFY(f.calls.filter("measure").isEmpty());
}

void CalibrationTest::zeroAndSlope_data() {
    QTest::addColumn<bool>("slope");
    QTest::addColumn<QByteArray>("reading");
    QTest::addColumn<QString>("sent");
    QTest::newRow("zero 0.012") << false << QByteArray("+0.012") << "1XANCLV0,-0.012!";
    QTest::newRow("zero -0.5") << false << QByteArray("-0.5") << "1XANCLV0,0.5!";
    QTest::newRow("zero 0") << false << QByteArray("+0.0") << "1XANCLV0,0!";
    QTest::newRow("zero tiny") << false << QByteArray("+0.0000001") << "1XANCLV0,-0.0000001!";
    QTest::newRow("slope 10 / 9.8")
        << true << QByteArray("+9.8") << "1XANCLV1," + protocol::plainNumberText(10.0 / 9.8) + "!";
}

void CalibrationTest::zeroAndSlope() {
    QFETCH(bool, slope);
    QFETCH(QByteArray, reading);
    QFETCH(QString, sent);
    Bench f;
    f.sensors->record(1).range = "10";     // the range the sensor answered
    f.sensors->record(1).pressure = "5.5"; // a reading taken before must not be used
    f.calibrate(1, slope, reading);
    const QString cleared = slope ? "1XANCLV1,1.0!" : "1XANCLV0,0.0!";
    QCOMPARE(f.sent(), (QStringList{cleared, "1M!", "1D0!", sent, "1M!", "1D0!"}));
    QLineEdit* box = slope ? f.page(1).SlopeCalibrationText : f.page(1).ZeroCalibrationText;
    QCOMPARE("1XANCLV" + QString(slope ? "1," : "0,") + box->text() + "!", sent);
    QCOMPARE(f.dialogs.boxes.front().text,
             slope ? "Is the instrument at the correct full-scale pressure?"
                   : "Is the instrument at the correct zero pressure?");
    QCOMPARE(f.dialogs.boxes.size(), slope ? 3 : 2);
    QVERIFY(!f.link->held());
    QVERIFY(f.page(1).ZeroCalibrationBut->isEnabled());
}

void CalibrationTest::refusals_data() {
    QTest::addColumn<QString>("range");
    QTest::addColumn<QByteArray>("reading");
    QTest::addColumn<bool>("slope");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("message");
    const QStringList measured{"1XANCLV1,1.0!", "1M!", "1D0!"};
    QTest::newRow("zero reading") << "10" << QByteArray("+0.0") << true << measured
                                  << "full-scale reading (\"0.0\")";
    QTest::newRow("negative reading")
        << "10" << QByteArray("-2.5") << true << measured << "full-scale reading (\"-2.5\")";
    QTest::newRow("no reading") << "10" << QByteArray() << true << measured
                                << "full-scale reading (\"\")";
    QTest::newRow("range not a number")
        << "abc" << QByteArray("+9.8") << true << QStringList{} << "range (\"abc\")";
    QTest::newRow("range 0") << "0" << QByteArray("+9.8") << true << QStringList{}
                             << "range (\"0\")";
    QTest::newRow("zero, no reading")
        << "10" << QByteArray() << false << QStringList{"1XANCLV0,0.0!", "1M!", "1D0!"}
        << "zero pressure (\"\")";
}

void CalibrationTest::refusals() {
    QFETCH(QString, range);
    QFETCH(QByteArray, reading);
    QFETCH(bool, slope);
    QFETCH(QStringList, sent);
    QFETCH(QString, message);
    Bench f;
    f.sensors->record(1).range = range;
    f.page(1).RangeText->setText("10"); // typed, never sent: not the sensor's range
    f.page(1).SlopeCalibrationText->setText("1.0204");
    f.page(1).ZeroCalibrationText->setText("-0.01");
    f.calibrate(1, slope, reading);
    QCOMPARE(f.sent(), sent);
    QVERIFY2(f.dialogs.boxes.back().text.contains(message),
             qPrintable(f.dialogs.boxes.back().text));
    QCOMPARE(f.page(1).SlopeCalibrationText->text(), QStringLiteral("1.0204"));
    QCOMPARE(f.page(1).ZeroCalibrationText->text(), QStringLiteral("-0.01"));
    QVERIFY(f.page(1).SlopeCalibrationBut->isEnabled());
}

void CalibrationTest::leavingAsksAndRestoresDensity() {
    Bench f;
    f.runStageOne(1);
    f.tabs->setCurrentIndex(2);
    // No: calibrate mode stays.
    f.check.setChecked(false);
    QVERIFY(f.check.isChecked());
    QVERIFY(f.port->writes.empty());
    QCOMPARE(f.boxTexts(), QStringList{"Are you sure you wish to exit calibrate mode?"});
    // "Yes" on the page asks the same; density correction goes off where stage one set it.
    f.dialogs.answers << Button::Yes;
    f.page(1).CalibrationCompleteBut->click();
    f.settle();
    QVERIFY(!f.check.isChecked());
    QCOMPARE(f.sent(), (QStringList{"1XP0!", "1M!", "1D0!"}));
    QVERIFY(!f.page(1).ParameterFrame->isHidden());
    QVERIFY(f.page(1).CalibrateFrame->isHidden());
    QVERIFY(!f.calibration.Calibrate_Flag);
    QVERIFY(!f.calibration.stageOneDone(1));
}

void CalibrationTest::leavingWithoutStageOneSendsNothing() {
    // Density correction was never turned on: leaving must not turn it off.
    Bench f;
    f.check.setChecked(true);
    f.dialogs.answers << Button::Yes;
    f.check.setChecked(false);
    f.settle();
    QVERIFY(!f.check.isChecked());
    QVERIFY(f.port->writes.empty());
}

void CalibrationTest::autoZeroAndClearOffsetsAskFirst() {
    Bench f;
    f.page(1).AutoZeroBut->click();
    f.page(1).ClearOffsetsBut->click();
    QVERIFY(f.port->writes.empty());
    QCOMPARE(f.dialogs.boxes.size(), 2);
    QCOMPARE(f.dialogs.boxes[1].title, QStringLiteral("Clear Offsets."));

    // Auto zero is answered like a measurement; clearing the offsets takes a new reading.
    f.dialogs.answers << Button::Yes << Button::Yes;
    f.page(1).AutoZeroBut->click();
    f.settle();
    f.page(1).ClearOffsetsBut->click();
    f.settle();
    QCOMPARE(f.sent(), (QStringList{"1XSPM0.0!", "1D0!", "1XTRIMOF0.0!", "1M!", "1D0!"}));
    QCOMPARE(f.logger->log(1).rowCount(), 2);
}

void CalibrationTest::filterWindow() {
    Bench f;
    f.tabs->setCurrentIndex(6);
    levelprobe::Filter& filter = f.family->filter();
    filter.mnuFilter_Click();
    levelprobe::FilterWindow& w = filter.window();
    QCOMPARE(w.windowTitle(), QStringLiteral("Filter Setings - Sensor 6"));
    QVERIFY(w.isVisible());
    QVERIFY(w.isModal());
    // The answer arrives and fills the open window.
    QTRY_COMPARE(w.MaxSampleRateText->text(), QStringLiteral("2"));
    QCOMPARE(f.sent(), QStringList{"6XF!"});
    QCOMPARE(w.NoOfReadingsText->text(), QStringLiteral("10"));
    QCOMPARE(w.UpDown1->value(), 10);

    // Spinners write into their boxes.
    w.UpDown1->setValue(12);
    w.UpDown2->setValue(100);
    QCOMPARE(w.NoOfReadingsText->text(), QStringLiteral("12"));
    w.FilterSetingsBut->click();
    QTRY_COMPARE(f.page(6).SampleRateText->text(), QStringLiteral("240 Seconds"));
    QCOMPARE(f.sent().back(), QStringLiteral("6XF0,12,0100!"));
    QCOMPARE(w.MaxSampleRateText->text(), QStringLiteral("240"));

    // Typed values outside the spinners' ranges are refused.
    for (const auto& [readings, interval] :
         {std::pair{"13", "1"}, {"0", "1"}, {"5", "101"}, {"x", "1"}, {"5", ""}}) {
        f.port->writes.clear();
        f.dialogs.boxes.clear();
        w.NoOfReadingsText->setText(readings);
        w.ReadingIntervalText->setText(interval);
        QVERIFY(!filter.FilterSet(6));
        QVERIFY(f.port->writes.empty());
        QCOMPARE(f.dialogs.boxes.size(), 1);
    }

    // An answer outside the ranges is shown as received; the spinner stops at its end and
    // nothing is written back or sent.
    f.port->writes.clear();
    f.filter = "0,15,0200";
    w.Command1->click();
    QTRY_COMPARE(w.NoOfReadingsText->text(), QStringLiteral("15"));
    QCOMPARE(w.ReadingIntervalText->text(), QStringLiteral("200"));
    QCOMPARE(w.UpDown1->value(), 12);
    QCOMPARE(w.UpDown2->value(), 100);
    QCOMPARE(f.sent(), QStringList{"6XF!"});
}

void CalibrationTest::filterSetDuringALogKeepsItsPeriod() {
    Bench f;
    levelprobe::LevelPage& pg = f.page(1);
    f.sensors->record(1).sampleRate = "2";
    f.family->FillLogPeriods(1);
    const int chosen = pg.LogPeriodCombo->findText("5 Seconds");
    QVERIFY(chosen > 0);
    pg.LogPeriodCombo->setCurrentIndex(chosen);
    f.logger->StartLogBut_Click(1);
    QTRY_VERIFY(!f.link->busy());
    // The new rate (24 s) no longer offers 5 s, but the running log keeps it.
    f.filter = "0,12,0010";
    f.family->filter().setBoxes("12", "10");
    f.family->filter().FilterSet(1);
    QTRY_COMPARE(pg.SampleRateText->text(), QStringLiteral("24 Seconds"));
    QCOMPARE(pg.LogPeriodCombo->currentText(), QStringLiteral("5 Seconds"));
    QCOMPARE(pg.LogPeriodCombo->selectedItemCode(), 5);
}

QTEST_MAIN(CalibrationTest)
#include "tst_calibration.moc"
