#include "Fixtures.h"
#include "LevelFixture.h"
#include "gui/widgets/DropDown.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

using sdilink::Code;
using testing::shownText;

class LevelRepliesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void branches_data();
    void branches();
    void calibrationHoldsBackTheMeasurement_data();
    void calibrationHoldsBackTheMeasurement();
    void serviceRequestWaitIsBounded();
    void localOffsetAnswers();
    void unlockAnswerSendsTheSensorsState();
    void addressQueryAndChange();
    void pageMoveFromZeroToFour();
    void trimOffTakesReadingAfterClearOffsets();
    void dataWithoutValues();
};

void LevelRepliesTest::branches_data() {
    // status: how the exchange stands after the reply. A set whose reply starts a reading is
    // one exchange with it (0, still going); a unit set ends handled after its re-read.
    QTest::addColumn<Code>("code");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("control"); // objectName on page 3, or empty
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("column"); // sensor-list column written, or -1
    QTest::addColumn<QString>("columnText");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("next"); // unlock, measure, requery, data, await, locked
    QTest::addColumn<bool>("beep");

    auto row = [](const char* name, Code code, const char* req, const char* rep,
                  const char* control, const char* text, int column, const char* columnText,
                  int status, const char* next, bool beep) {
        QTest::newRow(name) << code << QByteArray(req) << QByteArray(rep) << control << text
                            << column << columnText << status << next << beep;
    };
    row("units 12", Code::PressUnitsQuery, "3XUP!", "3XUP!312", "PressUnitsCombo", "Inch Hg", 5,
        "Inch Hg", 1, "unlock", true);
    row("units 5", Code::PressUnitsQuery, "3XUP!", "3XUP!35", "PressUnitsCombo", "mmWg", 5, "mmWg",
        1, "unlock", true);
    // An answer that names no entry shows nothing, as before the sensor answered.
    row("units, empty answer", Code::PressUnitsQuery, "3XUP!", "3XUP!3", "PressUnitsCombo", "", 5,
        "", 1, "unlock", true);
    row("units, three digits", Code::PressUnitsQuery, "3XUP!", "3XUP!3120", "PressUnitsCombo", "",
        5, "", 1, "unlock", true);
    row("units, a letter", Code::PressUnitsQuery, "3XUP!", "3XUP!3x", "PressUnitsCombo", "", 5, "",
        1, "unlock", true);
    row("units, no such code", Code::PressUnitsQuery, "3XUP!", "3XUP!399", "PressUnitsCombo", "", 5,
        "", 1, "unlock", true);
    row("unit set re-queries", Code::PressUnitsSet, "3XUP13!", "3XUP13!313", "PressUnitsCombo",
        "mbar", -1, "", 1, "requery", true);
    row("temperature units, a letter", Code::TempUnitsQuery, "3XUT!", "3XUT!3C", "TempUnitsCombo",
        "", 7, "", 1, "unlock", true);
    row("temperature units, two digits", Code::TempUnitsQuery, "3XUT!", "3XUT!310",
        "TempUnitsCombo", "", 7, "", 1, "unlock", true);
    row("density, empty", Code::DensityCorrQuery, "3XP!", "3XP!3", "DensityCorrCombo", "", 2, "", 1,
        "unlock", true);
    row("density, out of the list", Code::DensityCorrQuery, "3XP!", "3XP!37", "DensityCorrCombo",
        "", 2, "", 1, "unlock", true);
    row("reverse, a letter", Code::ReverseQuery, "3XREV!", "3XREV!3a", "ReverseCombo", "", -1, "",
        1, "unlock", true);
    row("temperature units", Code::TempUnitsQuery, "3XUT!", "3XUT!31", "TempUnitsCombo",
        "Fahrenheit", 7, "Fahrenheit", 1, "unlock", true);
    row("temperature set measures", Code::TempUnitsSet, "3XUT0!", "3XUT0!30", "TempUnitsCombo",
        "Centigrade", 7, "Centigrade", 0, "measure", true);
    row("density", Code::DensityCorrQuery, "3XP!", "3XP!31", "DensityCorrCombo", "Uncompensated", 2,
        "Uncompensated", 1, "unlock", true);
    row("density set", Code::DensityCorrSet, "3XP0!", "3XP0!30", "DensityCorrCombo", "Compensated",
        2, "Compensated", 0, "measure", true);
    row("gravity", Code::LocalGravityQuery, "3XE!", "3XE!3+9.80665", "LocalGravityText", "9.80665",
        3, "9.80665", 1, "unlock", true);
    row("gravity set", Code::LocalGravitySet, "3XE9.81!", "3XE9.81!3+9.81", "LocalGravityText",
        "9.81", 3, "9.81", 0, "measure", true);
    row("identification", Code::Identification, "3I!", "3I!313CORVANE LVL300100314073",
        "SensorIDList",
        "SDI Version = 1.3|Company Name = CORVANE |Sensor Model = LVL300|Sensor Version = 100", -1,
        "", 1, "unlock", true);
    // One second announced: the data are asked for at its service request, never at once.
    row("measure, one second", Code::Measure, "3M!", "3M!30011", "", "", -1, "", 0, "await", false);
    row("measure, wait", Code::Measure, "3M!", "3M!30051", "", "", -1, "", 0, "await", false);
    row("measure, wait 000", Code::Measure, "3M!", "3M!30001", "", "", -1, "", 0, "data", false);
    row("measure, empty answer", Code::Measure, "3M!", "3M!3", "", "", -1, "", 0, "data", false);
    // The echo alone answers nothing: the time-out will end the transaction.
    row("measure, echo only", Code::Measure, "3M!", "3M!", "", "", -1, "", 0, "locked", false);
    row("data", Code::Data, "3D0!", "3D0!3+12.345+21.5", "PressureText", "12.345", 4, "12.345", 1,
        "unlock", false);
    row("range rounded", Code::RangeQuery, "3XRA!", "3XRA!3+1.23456", "RangeText", "1.2346", -1, "",
        1, "unlock", true);
    row("range negative", Code::RangeSet, "3XRA-0.25!", "3XRA-0.25!3-0.25", "RangeText", "-0.25",
        -1, "", 1, "unlock", true);
    row("range not a number", Code::RangeQuery, "3XRA!", "3XRA!3abc", "RangeText", "abc", -1, "", 1,
        "unlock", true);
    row("range empty", Code::RangeQuery, "3XRA!", "3XRA!3", "RangeText", "", -1, "", 1, "unlock",
        true);
    row("max over range", Code::MaxOverRangeQuery, "3XMOR!", "3XMOR!3+12.5", "MaxOverRangeText",
        "12.5", -1, "", 1, "unlock", true);
    row("reverse", Code::ReverseQuery, "3XREV!", "3XREV!31", "ReverseCombo", "On", -1, "", 1,
        "unlock", true);
    row("reverse set", Code::ReverseSet, "3XREV1!", "3XREV1!31", "ReverseCombo", "On", -1, "", 0,
        "measure", true);
    row("level", Code::LevelQuery, "3XLOF!", "3XLOF!3-1.5", "LevelText", "-1.5", -1, "", 1,
        "unlock", true);
    row("level set", Code::LevelSet, "3XLOF2!", "3XLOF2!3+2.00004", "LevelText", "2", -1, "", 0,
        "measure", true);
    row("plus typed in the request", Code::LevelSet, "3XLOF+1.5!", "3XLOF+1.5!3-1.5", "LevelText",
        "-1.5", -1, "", 0, "measure", true);
    row("serial number", Code::SerialNumberQuery, "3XSN!", "3XSN!331407", "", "", 1, "31407", 1,
        "unlock", true);
    row("filter", Code::FilterQuery, "3XF!", "3XF!30,10,0001", "SampleRateText", "2 Seconds", -1,
        "", 1, "unlock", true);
    row("filter of one second", Code::FilterQuery, "3XF!", "3XF!30,05,0001", "SampleRateText",
        "1 Second", -1, "", 1, "unlock", true);
    row("filter interval with an exponent", Code::FilterQuery, "3XF!", "3XF!30,10,5e51",
        "SampleRateText", "19998 Seconds", -1, "", 1, "unlock", true);
    row("filter set", Code::FilterSet, "3XF0,05,0250!", "3XF0,05,0250!30,05,0250", "SampleRateText",
        "250 Seconds", -1, "", 1, "unlock", true);
    row("auto zero, no wait", Code::AutoZero, "3XSPM0.0!", "3XSPM0.0!30001", "", "", -1, "", 0,
        "data", false);
    row("level offset, wait", Code::LevelOffset, "3XSPM0.5!", "3XSPM0.5!30051", "", "", -1, "", 0,
        "await", false);
    row("specific gravity set", Code::SpecificGravitySet, "3XU0,0.97561!", "3XU0,0.97561!3+0.97561",
        "SGText", "1.025", -1, "", 0, "measure", true);
    row("specific gravity", Code::SpecificGravityQuery, "3XU0!", "3XU0!3+1.25", "SGText", "0.8", -1,
        "", 1, "locked", false);
    row("specific gravity of 0", Code::SpecificGravityQuery, "3XU0!", "3XU0!3+0", "SGText", "0", -1,
        "", 1, "locked", false);
    row("trim off", Code::TrimOff, "3XTRIMOF0.0!", "3XTRIMOF0.0!3", "", "", -1, "", 1, "locked",
        true);
    row("trim on", Code::TrimOn, "3XTRIMON1!", "3XTRIMON1!3", "", "", -1, "", 1, "locked", false);
    row("zero correction", Code::ZeroCorrectionSet, "3XANCLV0,0.0!", "3XANCLV0,0.0!3", "", "", -1,
        "", 1, "locked", false);
    row("slope", Code::SlopeSet, "3XANCLV1,1.0!", "3XANCLV1,1.0!3", "", "", -1, "", 1, "locked",
        false);
    row("xu1", Code::XU1Set, "3XU1,0.0!", "3XU1,0.0!3", "", "", -1, "", 1, "locked", false);
    row("zero read", Code::ZeroCorrectionQuery, "3XANCLV0!", "3XANCLV0!3-0.012",
        "ZeroCalibrationText", "-0.012", -1, "", 1, "locked", false);
    row("slope read", Code::SlopeQuery, "3XANCLV1!", "3XANCLV1!3+1.0204", "SlopeCalibrationText",
        "1.0204", -1, "", 1, "locked", false);
    row("calibration on", Code::CalibrationOn, "3XANCALON1!", "3XANCALON1!3", "", "", -1, "", 1,
        "locked", false);
}

void LevelRepliesTest::branches() {
    QFETCH(Code, code);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(int, column);
    QFETCH(QString, columnText);
    QFETCH(int, status);
    QFETCH(QString, next);
    QFETCH(bool, beep);

    LevelFixture f;
    // The re-read waits for each reply in turn; its silent sensor times out at once.
    f.clock.setAutoAdvance(next == "requery");
    f.transact(3, code, request, reply);

    if (!control.isEmpty()) {
        auto* w = f.pages[3]->findChild<QWidget*>(control);
        QVERIFY2(w, qPrintable(control));
        QCOMPARE(shownText(w), text);
    }
    if (column >= 0)
        QCOMPARE(f.column(3, column), columnText);
    QCOMPARE(int(f.status), status);
    // The re-read beeps once more when it ends.
    QCOMPARE(f.beeps, (beep ? 1 : 0) + (next == "requery" ? 1 : 0));
    QVERIFY(f.dialogs.boxes.isEmpty());

    const bool unlocked = f.page(3).PressUnitsQueryBut->isEnabled();
    if (next == "unlock") {
        QVERIFY(unlocked);
        QVERIFY(f.calls.filter("measure").isEmpty());
    } else if (next == "measure") {
        QVERIFY(f.calls.contains("measure 3"));
    } else if (next == "requery") {
        // The re-read starts with the density correction (this sensor then stays silent).
        QCOMPARE(f.port->writes.front(), QByteArray("3XP!"));
    } else if (next == "data") {
        // The pause before the data request is a timer, not a sleep.
        QVERIFY(f.port->writes.empty());
        QVERIFY(f.link->held());
        f.clock.advanceBy(std::chrono::milliseconds(200));
        QCOMPARE(*f.trace,
                 QStringList({"break on", "sleep 20", "break off", "sleep 15", "write 3D0!"}));
        QCOMPARE(f.link->CommandMode(), Code::Data);
        QVERIFY(!unlocked);
    } else if (next == "await") {
        QCOMPARE(f.link->ReceiveState(), sdilink::Framer::State::AwaitingServiceRequest);
        QVERIFY(f.port->writes.empty());
    } else if (next == "locked") {
        QVERIFY(!unlocked);
        QVERIFY(f.calls.isEmpty());
    }
    if (code == Code::Data)
        QCOMPARE(f.calls, QStringList{"row 3 12.345||21.5|"});
    // A filter set rebuilds the logging periods: 250 s leaves "Single Log", 5 and 15 minutes.
    if (code == Code::FilterSet)
        QCOMPARE(f.page(3).LogPeriodCombo->count(), 3);
}

void LevelRepliesTest::calibrationHoldsBackTheMeasurement_data() {
    QTest::addColumn<Code>("code");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("density") << Code::DensityCorrSet << QByteArray("3XP1!")
                             << QByteArray("3XP1!31");
    QTest::newRow("reverse") << Code::ReverseSet << QByteArray("3XREV0!")
                             << QByteArray("3XREV0!30");
    QTest::newRow("level") << Code::LevelSet << QByteArray("3XLOF0!") << QByteArray("3XLOF0!30");
    QTest::newRow("local offset") << Code::LocalOffsetSet << QByteArray("3XLOC0!")
                                  << QByteArray("3XLOC0!30");
    QTest::newRow("specific gravity")
        << Code::SpecificGravitySet << QByteArray("3XU0,1.0!") << QByteArray("3XU0,1.0!3+1.0");
}

void LevelRepliesTest::calibrationHoldsBackTheMeasurement() {
    QFETCH(Code, code);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    LevelFixture f;
    f.calibration.Calibrate_Flag = true;
    f.transact(3, code, request, reply);
    QCOMPARE(f.link->replyStatus(), qint16(1));
    QVERIFY(f.calls.filter("measure").isEmpty());
    QVERIFY(f.port->writes.empty());
}

void LevelRepliesTest::serviceRequestWaitIsBounded() {
    {
        // The sensor announces 1 s and then never asks for its data: the data is asked for
        // after the wait plus the command time-out.
        LevelFixture f;
        f.link->setMeasureAddress(3);
        const qint64 start = f.link->elapsedMs();
        f.transact(3, Code::AutoZero, "3XSPM0.0!", "3XSPM0.0!30011");
        QCOMPARE(f.link->ReceiveState(), sdilink::Framer::State::AwaitingServiceRequest);
        f.clock.advanceTo(sim::milliseconds(start + 1399));
        QVERIFY(f.port->writes.empty());
        f.clock.advanceBy(sim::milliseconds(1));
        QCOMPARE(f.port->writes, std::vector<QByteArray>{"3D0!"});
    }
    {
        // A service request that does come ends the bound: no second data request, however
        // long the clock runs on.
        LevelFixture g;
        g.link->setMeasureAddress(3);
        g.transact(3, Code::Measure, "3M!", "3M!30021");
        g.port->receive("3\r\n");
        QCoreApplication::processEvents();
        QVERIFY(g.port->writes.empty()); // the pause before a data request
        g.clock.advanceBy(sim::milliseconds(200));
        QCOMPARE(g.port->writes.size(), size_t(1));
        g.clock.runUntilIdle();
        QCOMPARE(g.port->writes, std::vector<QByteArray>{"3D0!"});
    }
}

void LevelRepliesTest::localOffsetAnswers() {
    {
        // The sensor's state differs from the box: the box follows and sends it on.
        LevelFixture f;
        f.transact(3, Code::LocalOffsetQuery, "3XLOC!", "3XLOC!31");
        QVERIFY(f.page(3).LocalOffsetCheck->isChecked());
        QCOMPARE(f.port->writes, std::vector<QByteArray>{"3XLOC1!"});
        // The set is in flight: the page stays locked until it ends (here by its time-out).
        QVERIFY(!f.page(3).PressUnitsQueryBut->isEnabled());
        f.clock.runUntilIdle();
        QVERIFY(f.page(3).PressUnitsQueryBut->isEnabled());
        QCOMPARE(f.link->replyStatus(), qint16(sdilink::Link::TimedOut));
    }
    {
        // Guarded (as during a scan): the box follows, nothing is sent, the guard is cleared.
        LevelFixture f;
        f.sensors->LocalOffsetEchoGuard = true;
        f.transact(3, Code::LocalOffsetQuery, "3XLOC!", "3XLOC!31");
        QVERIFY(f.page(3).LocalOffsetCheck->isChecked());
        QVERIFY(f.port->writes.empty());
        QVERIFY(!f.sensors->LocalOffsetEchoGuard);
    }
    {
        // The set's reply starts a measurement.
        LevelFixture f;
        f.transact(3, Code::LocalOffsetSet, "3XLOC0!", "3XLOC0!30");
        QVERIFY(f.calls.contains("measure 3"));
    }
    {
        LevelFixture f;
        f.transact(3, Code::LocalOffsetQuery, "3XLOC!", "3XLOC!37");
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("SDI12 Message Error."));
        QCOMPARE(f.dialogs.boxes[0].text, QStringLiteral("Invalid Local Offset value."));
        QVERIFY(!f.page(3).LocalOffsetCheck->isChecked());
        QVERIFY(f.page(3).PressUnitsQueryBut->isEnabled());
    }
    {
        // During calibration a change of the box sends nothing.
        LevelFixture f;
        f.calibration.Calibrate_Flag = true;
        f.page(3).LocalOffsetCheck->click();
        QVERIFY(f.port->writes.empty());
    }
}

void LevelRepliesTest::unlockAnswerSendsTheSensorsState() {
    LevelFixture f;
    f.transact(4, Code::UnlockQuery, "4XUNLK!", "4XUNLK!41");
    QVERIFY(f.page(4).UnlockCheck->isChecked());
    QCOMPARE(f.port->writes, std::vector<QByteArray>{"4XUNLK1!"});
    // Locked until the set's own reply.
    QVERIFY(!f.page(4).PressUnitsQueryBut->isEnabled());
    f.port->receive("4XUNLK1!41\r\n");
    QTRY_VERIFY(f.page(4).PressUnitsQueryBut->isEnabled());
    QCOMPARE(f.link->replyStatus(), qint16(sdilink::Link::Handled));
    f.port->writes.clear();
    f.page(4).UnlockCheck->click();
    QCOMPARE(f.port->writes, std::vector<QByteArray>{"4XUNLK0!"});
}

void LevelRepliesTest::addressQueryAndChange() {
    LevelFixture f;
    f.transact(0, Code::AddressQuery, "?!", "?!7");
    QCOMPARE(f.dialogs.boxes.size(), 1);
    QCOMPARE(f.dialogs.boxes[0].title, QStringLiteral("Query Sensor Address."));
    QCOMPARE(f.dialogs.boxes[0].text, QStringLiteral("Sensor Address is 7."));
    // Every reply ends its transaction, so a sequence waiting on it goes on.
    QCOMPARE(f.link->replyStatus(), qint16(sdilink::Link::Handled));
    QVERIFY(f.page(0).PressUnitsQueryBut->isEnabled());

    f.sensors->setPresent(2, true);
    // The new page was locked too, so that its unlock shows.
    f.family->LockLevelPage(5);
    f.transact(2, Code::AddressChange, "2A5!", "2A5!5");
    QCOMPARE(f.tabs->currentIndex(), 5);
    QVERIFY(f.tabs->isTabEnabled(5));
    QVERIFY(!f.tabs->isTabEnabled(2));
    QVERIFY(f.page(5).PressUnitsQueryBut->isEnabled());
    QVERIFY(f.scan->isEnabled());
    QCOMPARE(f.link->replyStatus(), qint16(sdilink::Link::Handled));
}

void LevelRepliesTest::pageMoveFromZeroToFour() {
    LevelFixture f;
    levelprobe::LevelPage& from = f.page(0);
    levelprobe::LevelRecord& r = f.sensors->record(0);
    r.identification = {"a", "b"};
    r.serialNumber = "4711";
    r.pressureUnit = 1;
    r.range = "10";
    r.specificGravity = "1.025";
    r.pressure = "1.5";
    from.LogPeriodCombo->setCurrentIndex(2);
    const levelprobe::LevelRecord moved = r;
    QVERIFY(!moved.logPeriod.isEmpty());
    from.LocalOffsetCheck->setChecked(true);
    from.UnlockCheck->setChecked(true);
    f.sensors->LocalOffsetEchoGuard = false;
    f.list->topLevelItem(0)->setText(8, "Logging");
    f.logger->AddLogRow(0, "1.5", "bar", "20.1", "Centigrade");
    f.port->writes.clear();
    f.calls.clear();

    f.sensors->moveRecord(0, 4);

    // The record moves whole, and the new page and row show it; the old ones show nothing.
    QVERIFY(f.sensors->record(4) == moved);
    QVERIFY(f.sensors->record(0) == levelprobe::LevelRecord{});
    levelprobe::LevelPage& to = f.page(4);
    QCOMPARE(to.RangeText->text(), QStringLiteral("10"));
    QCOMPARE(shownText(to.SensorIDList), QStringLiteral("a|b"));
    QCOMPARE(from.SensorIDList->count(), 0);
    QCOMPARE(f.column(4, 1), QStringLiteral("4711"));
    QCOMPARE(f.column(4, 4), QStringLiteral("1.5"));
    QCOMPARE(f.column(4, 8), QStringLiteral("Logging"));
    for (int c = 1; c <= 8; ++c)
        QVERIFY(f.column(0, c).isEmpty());
    QCOMPARE(f.column(0, 0), QStringLiteral("0         "));
    QCOMPARE(from.AddressCombo->text(), QStringLiteral("Select....."));
    // The ticked local offset moves without a command; the unlock state is left to send
    // to 4 once the move is done.
    QVERIFY(to.LocalOffsetCheck->isChecked());
    QVERIFY(f.port->writes.empty());
    QVERIFY(f.sensors->moveFollowUpsPending());
    QVERIFY(!f.sensors->LocalOffsetEchoGuard);
    QVERIFY(!f.tabs->isTabEnabled(0));
    QVERIFY(f.tabs->isTabEnabled(4));
    QCOMPARE(f.tabs->currentIndex(), 4);
    QCOMPARE(f.logger->log(4).rowCount(), 1);
    QCOMPARE(f.logger->log(0).rowCount(), 0);
    QCOMPARE(to.LogPeriodCombo->currentText(), moved.logPeriod);
    QCOMPARE(from.LogPeriodCombo->count(), 0);
}

void LevelRepliesTest::trimOffTakesReadingAfterClearOffsets() {
    LevelFixture f;
    f.calibration.UpdateReadings_Flag = true;
    f.transact(3, Code::TrimOff, "3XTRIMOF0.0!", "3XTRIMOF0.0!3");
    QVERIFY(!f.calibration.UpdateReadings_Flag);
    QCOMPARE(f.calls, QStringList{"measure 3"});
}

void LevelRepliesTest::dataWithoutValues() {
    LevelFixture f;
    f.page(3).PressureText->setText("7.5");
    f.link->setMeasureAddress(3);
    // A sensor announces one second and sends no service request: the data is asked for
    // after that second and the command time-out, never before.
    f.transact(3, Code::Measure, "3M!", "3M!30011");
    f.clock.advanceTo(sim::milliseconds(1399));
    QVERIFY(f.port->writes.empty());
    f.clock.advanceTo(sim::milliseconds(1400));
    QCOMPARE(f.port->writes, std::vector<QByteArray>{"3D0!"});
    f.port->receive("3D0!3+1.5+20.1\r\n");
    QCoreApplication::processEvents();
    QCOMPARE(f.calls, QStringList{"row 3 1.5||20.1|"});
    QVERIFY(f.page(3).PressUnitsQueryBut->isEnabled());

    // Empty once more after that: no row, nothing changed, the page free again.
    f.calls.clear();
    f.transact(3, Code::Data, "3D0!", "3D0!3");
    QVERIFY(f.calls.isEmpty());
    QCOMPARE(f.page(3).PressureText->text(), QStringLiteral("1.5"));
    QCOMPARE(f.column(3, 4), QStringLiteral("1.5"));
    QVERIFY(f.page(3).PressUnitsQueryBut->isEnabled());
    QCOMPARE(f.link->replyStatus(), qint16(sdilink::Link::Handled));
}

QTEST_MAIN(LevelRepliesTest)
#include "tst_levelreplies.moc"
