#include "Fixtures.h"
#include "RotaryFixture.h"
#include "core/logging/LogModel.h"
#include "core/rotary/RotaryAnswer.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

using sdilink::Code;
using testing::shownText;

class RotaryRepliesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void senders_data();
    void senders();
    void refusedSets();
    void branches_data();
    void branches();
    void dataFollowsTheAnnouncedTime();
    void setZeroThenTheMeasuredValue();
    void resolution_data();
    void resolution();
    void addressMoveWithTwoLogRows();
    void numberBoxesTakeNumbersOnly();
};

void RotaryRepliesTest::senders_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("setup"); // "control=value" set before the click, or empty
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<Code>("code");
    QTest::addColumn<QString>("emptied"); // control whose text is emptied, or empty
    QTest::newRow("units query") << 3 << "QueryRotaryMeasurementUnitsBut"
                                 << "" << QByteArray("3XMU!") << Code::RotaryUnitsQuery
                                 << "RotaryMeasurementUnitsCombo";
    QTest::newRow("circumference query")
        << 3 << "QueryRotaryPulleyCircumfBut"
        << "" << QByteArray("3XCP!") << Code::RotaryCircumferenceQuery << "RotaryPulleyCircumText";
    QTest::newRow("direction query")
        << 3 << "QueryRotaryDirectionBut"
        << "" << QByteArray("3XRD!") << Code::RotaryDirectionQuery << "RotaryDirectionCombo";
    QTest::newRow("counts query") << 3 << "QueryRotaryCountsPerRevBut"
                                  << "" << QByteArray("3XPC!") << Code::RotaryCountsQuery
                                  << "RotaryCountsPerRevText";
    QTest::newRow("current value query")
        << 3 << "QueryRotaryCurrentValueBut"
        << "" << QByteArray("3XCV!") << Code::RotaryCurrentValueQuery << "RotaryCurrentValueText";
    QTest::newRow("identification")
        << 3 << "RotaryIDQueryBut"
        << "" << QByteArray("3I!") << Code::RotaryIdentification << "RotarySensorIDList";
    QTest::newRow("units set") << 3 << "RotaryMeasurementUnitsBut"
                               << "RotaryMeasurementUnitsCombo=1" << QByteArray("3XMU1!")
                               << Code::RotaryUnitsSet << "RotaryMeasurementUnitsCombo";
    QTest::newRow("direction set") << 3 << "RotaryDirectionBut"
                                   << "RotaryDirectionCombo=1" << QByteArray("3XRD1!")
                                   << Code::RotaryDirectionSet << "RotaryDirectionCombo";
    QTest::newRow("circumference set") << 3 << "RotaryPulleyCircumBut"
                                       << "RotaryPulleyCircumText=200" << QByteArray("3XCP200!")
                                       << Code::RotaryCircumferenceSet << "";
    QTest::newRow("current value set") << 0 << "RotaryCurrentValueBut"
                                       << "RotaryCurrentValueText=12.5" << QByteArray("0XCV12.5!")
                                       << Code::RotaryCurrentValueSet << "";
    QTest::newRow("current value empty")
        << 0 << "RotaryCurrentValueBut"
        << "" << QByteArray("0XCV!") << Code::RotaryCurrentValueSet << "";
    QTest::newRow("set zero") << 3 << "RotarySetZeroBut"
                              << "" << QByteArray("3XZE!") << Code::RotarySetZero << "";
}

void RotaryRepliesTest::senders() {
    QFETCH(int, page);
    QFETCH(QString, button);
    QFETCH(QString, setup);
    QFETCH(QByteArray, request);
    QFETCH(Code, code);
    QFETCH(QString, emptied);
    RotaryFixture f;
    for (int i = 0; i <= 9; ++i)
        f.sensors->setPresent(i, i == page); // only this encoder is on the bus
    rotary::RotaryPage& pg = f.page(page);
    if (!setup.isEmpty()) {
        const QString name = setup.section('=', 0, 0);
        const QString value = setup.section('=', 1);
        if (auto* list = pg.findChild<widgets::DropDown*>(name))
            list->setCurrentIndex(value.toInt());
        else
            pg.findChild<QLineEdit*>(name)->setText(value);
    }
    pg.findChild<QPushButton*>(button)->click();
    QCOMPARE(f.port->writes, std::vector<QByteArray>{request});
    QCOMPARE(f.link->CommandMode(), code);
    QVERIFY(!pg.RotaryAddrBut->isEnabled()); // locked until the chain ends
    if (!emptied.isEmpty())
        QVERIFY(shownText(pg.findChild<QWidget*>(emptied)).isEmpty());
}

void RotaryRepliesTest::refusedSets() {
    RotaryFixture f;
    rotary::RotaryPage& pg = f.page(4);
    pg.RotaryMeasurementUnitsBut->click();
    pg.RotaryDirectionBut->click();
    // Buttons that send nothing.
    pg.RotaryCountsPerRevBut->click();
    pg.RotaryUnlockQueryBut->click();
    QVERIFY(f.port->writes.empty());
    QStringList texts;
    for (const auto& box : f.dialogs.boxes)
        texts << box.title + ' ' + box.text;
    QCOMPARE(texts,
             (QStringList{
                 "Set Measurement Units. Please select the measurement units from the list.",
                 "Set Rotation Direction. Please select the rotation direction from the list."}));
    QVERIFY(pg.RotaryAddrBut->isEnabled());
}

void RotaryRepliesTest::branches_data() {
    QTest::addColumn<Code>("code");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("columnText");
    QTest::addColumn<QString>("next"); // unlock, measure, data, await
    auto row = [](const char* name, Code code, const char* req, const char* rep,
                  const char* control, const char* text, int column, const char* columnText,
                  const char* next) {
        QTest::newRow(name) << code << QByteArray(req) << QByteArray(rep) << control << text
                            << column << columnText << next;
    };
    row("units", Code::RotaryUnitsQuery, "2XMU!", "2XMU!21", "RotaryMeasurementUnitsCombo",
        "Millimetres", 3, "Millimetres", "unlock");
    row("units, mnemonic repeated", Code::RotaryUnitsQuery, "2XMU!", "2XMU!2XMU3",
        "RotaryMeasurementUnitsCombo", "Feet", 3, "Feet", "unlock");
    row("units, a letter", Code::RotaryUnitsQuery, "2XMU!", "2XMU!2x",
        "RotaryMeasurementUnitsCombo", "", 3, "", "unlock");
    row("units, beyond the list", Code::RotaryUnitsQuery, "2XMU!", "2XMU!27",
        "RotaryMeasurementUnitsCombo", "", 3, "", "unlock");
    row("units set", Code::RotaryUnitsSet, "2XMU1!", "2XMU1!2XMU1", "RotaryMeasurementUnitsCombo",
        "Millimetres", 3, "Millimetres", "measure");
    row("circumference", Code::RotaryCircumferenceQuery, "2XCP!", "2XCP!2200",
        "RotaryPulleyCircumText", "200", 4, "200", "unlock");
    row("circumference set", Code::RotaryCircumferenceSet, "2XCP150!", "2XCP150!2XCP150",
        "RotaryPulleyCircumText", "150", 4, "150", "measure");
    row("direction", Code::RotaryDirectionQuery, "2XRD!", "2XRD!21", "RotaryDirectionCombo",
        "Clockwise", 5, "Clockwise", "unlock");
    row("direction set", Code::RotaryDirectionSet, "2XRD0!", "2XRD0!20", "RotaryDirectionCombo",
        "Anticlockwise", 5, "Anticlockwise", "measure");
    row("counts", Code::RotaryCountsQuery, "2XPC!", "2XPC!2500", "RotaryCountsPerRevText", "500",
        -1, "", "unlock");
    row("current value", Code::RotaryCurrentValueQuery, "2XCV!", "2XCV!2+12.5",
        "RotaryCurrentValueText", "12.5", -1, "", "unlock");
    row("current value set", Code::RotaryCurrentValueSet, "2XCV12.5!", "2XCV12.5!2XCV+12.5",
        "RotaryCurrentValueText", "12.5", -1, "", "measure");
    row("identification", Code::RotaryIdentification, "2I!", "2I!213CORVANE ENC100110",
        "RotarySensorIDList",
        "SDI Version = 1.3|Company Name = CORVANE |Sensor Model = ENC100|Sensor Version = 110", -1,
        "", "unlock");
    row("serial number", Code::RotarySerialNumberQuery, "2XSN!", "2XSN!24711", "", "", 1, "4711",
        "unlock");
    row("set zero", Code::RotarySetZero, "2XZE!", "2XZE!2+0.000", "RotaryCurrentValueText", "0.000",
        -1, "", "measure");
    row("reading, no wait", Code::RotaryMeasure, "2C!", "2C!20001", "", "", -1, "", "data");
    row("reading, wait", Code::RotaryMeasure, "2C!", "2C!20021", "", "", -1, "", "await");
    row("data", Code::RotaryData, "2D0!", "2D0!2-3.25", "RotaryCurrentValueText", "-3.25", 2,
        "-3.25", "unlock");
    row("data, plus dropped", Code::RotaryData, "2D0!", "2D0!2+1.50", "RotaryCurrentValueText",
        "1.50", 2, "1.50", "unlock");
}

void RotaryRepliesTest::branches() {
    QFETCH(Code, code);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(int, column);
    QFETCH(QString, columnText);
    QFETCH(QString, next);
    RotaryFixture f;
    f.sensors->record(2).units = 0; // metres, as the encoder said
    f.transact(2, code, request, reply);
    if (!control.isEmpty())
        QCOMPARE(shownText(f.page(2).findChild<QWidget*>(control)), text);
    if (column >= 0)
        QCOMPARE(f.column(2, column), columnText);
    const bool unlocked = f.page(2).RotaryAddrBut->isEnabled();
    if (next == "unlock") {
        QVERIFY(unlocked);
        QVERIFY(f.port->writes.empty());
    } else if (next == "measure") {
        QCOMPARE(f.port->writes, std::vector<QByteArray>{"2C!"});
        QVERIFY(!unlocked);
    } else if (next == "data") {
        // At once: a concurrent reading has no data-request pause.
        QCOMPARE(f.port->writes, std::vector<QByteArray>{"2D0!"});
        QVERIFY(!f.trace->contains("sleep 200"));
        QCOMPARE(f.link->CommandMode(), Code::RotaryData);
    } else if (next == "await") {
        QVERIFY(f.port->writes.empty());
        QCOMPARE(f.link->ReceiveState(), sdilink::Framer::State::AwaitingServiceRequest);
        QCOMPARE(f.sensors->replies().MeasureWait[2], qint16(2));
    }
    if (code == Code::RotaryData) {
        QCOMPARE(f.logger->log(2).rowCount(), 1);
        QCOMPARE(f.logger->log(2).text(0, 2), text);
        QCOMPARE(f.logger->log(2).text(0, 3), QStringLiteral("Metres"));
    }
    QVERIFY(f.dialogs.boxes.isEmpty());
}

void RotaryRepliesTest::dataFollowsTheAnnouncedTime() {
    RotaryFixture f;
    f.link->setMeasureAddress(0);
    f.transact(0, Code::RotaryMeasure, "0C!", "0C!00021");
    // An encoder sends no service request for aC!: the data is asked for after 2 s.
    f.clock.advanceTo(sim::milliseconds(1999));
    QVERIFY(f.port->writes.empty());
    f.clock.advanceTo(sim::milliseconds(2000));
    QCOMPARE(f.port->writes, std::vector<QByteArray>{"0D0!"});
    f.port->receive("0D0!0-3.25\r\n");
    QCoreApplication::processEvents();
    QCOMPARE(f.logger->log(0).rowCount(), 1);
    QVERIFY(f.page(0).RotaryAddrBut->isEnabled());
}

void RotaryRepliesTest::setZeroThenTheMeasuredValue() {
    RotaryFixture f;
    f.link->setMeasureAddress(1);
    f.transact(1, Code::RotarySetZero, "1XZE!", "1XZE!1+0.000");
    QCOMPARE(f.page(1).RotaryCurrentValueText->text(), QStringLiteral("0.000"));
    f.port->receive("1C!10001\r\n");
    QCoreApplication::processEvents();
    f.port->receive("1D0!1+0.012\r\n");
    QCoreApplication::processEvents();
    QCOMPARE(f.page(1).RotaryCurrentValueText->text(), QStringLiteral("0.012"));
    QCOMPARE(f.column(1, 2), QStringLiteral("0.012"));
    QVERIFY(f.page(1).RotaryAddrBut->isEnabled());
}

void RotaryRepliesTest::resolution_data() {
    QTest::addColumn<int>("units");
    QTest::addColumn<QString>("circumference");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<QString>("resolution");
    QTest::newRow("millimetres") << 1 << "200"
                                 << "500"
                                 << "0.1";
    QTest::newRow("metres") << 0 << "200"
                            << "500"
                            << "100";
    QTest::newRow("inches") << 2 << "10"
                            << "100"
                            << "0.635";
    QTest::newRow("feet") << 3 << "1"
                          << "1"
                          << "76.2";
    QTest::newRow("tiny") << 1 << "1e-300"
                          << "3"
                          << "8.33333333333333e-302";
    // No unit known or no count to divide by: the box stays empty, never "0", "inf" or "nan".
    QTest::newRow("no unit chosen") << -1 << "200"
                                    << "500"
                                    << "";
    QTest::newRow("unit beyond the list") << 9 << "200"
                                          << "500"
                                          << "";
    QTest::newRow("counts 0") << 1 << "200"
                              << "0"
                              << "";
    QTest::newRow("counts empty") << 1 << "200"
                                  << ""
                                  << "";
    QTest::newRow("nothing known") << -1 << ""
                                   << ""
                                   << "";
}

void RotaryRepliesTest::resolution() {
    QFETCH(int, units);
    QFETCH(QString, circumference);
    QFETCH(QString, counts);
    QFETCH(QString, resolution);
    QCOMPARE(rotary::measurementResolution(units, circumference, counts), resolution);

    // The counts answer shows it on the page.
    RotaryFixture f;
    rotary::RotaryPage& pg = f.page(5);
    f.sensors->record(5).units = units;
    f.sensors->record(5).pulleyCircumference = circumference;
    f.transact(5, Code::RotaryCountsQuery, "5XPC!", "5XPC!5" + counts.toLatin1());
    QCOMPARE(pg.RotaryMeasurementResText->text(), resolution);
}

void RotaryRepliesTest::addressMoveWithTwoLogRows() {
    RotaryFixture f;
    f.sensors->setPresent(1, true);
    f.logger->AddLogRow(1, "1.25", "Metres");
    f.logger->AddLogRow(1, "1.50", "Metres");
    rotary::RotaryRecord& r = f.sensors->record(1);
    r.serialNumber = "0815";
    r.pulleyCircumference = "200";
    r.direction = 1;
    r.currentValue = "1.50";
    f.list->topLevelItem(1)->setText(6, "Logging");
    rotary::RotaryRecord moved = r;
    moved.logPeriod = f.sensors->record(6).logPeriod; // the periods stay with their pages
    f.sensors->lockPage(6);
    f.transact(1, Code::RotaryAddressChange, "1A6!", "1A6!6");

    QVERIFY(f.sensors->record(6) == moved);
    QCOMPARE(f.sensors->record(1).serialNumber, QString());
    QCOMPARE(f.logger->log(6).rowCount(), 2);
    QCOMPARE(f.logger->log(6).text(0, 2), QStringLiteral("1.50"));
    QCOMPARE(f.logger->log(6).text(1, 2), QStringLiteral("1.25"));
    QCOMPARE(f.logger->log(1).rowCount(), 0);
    QVERIFY(!f.tabs->isTabEnabled(1));
    QVERIFY(f.tabs->isTabEnabled(6));
    QCOMPARE(f.tabs->currentIndex(), 6);
    QCOMPARE(f.page(6).RotaryPulleyCircumText->text(), QStringLiteral("200"));
    QCOMPARE(f.page(6).RotaryDirectionCombo->text(), QStringLiteral("Clockwise"));
    QCOMPARE(f.page(1).RotaryAddressCombo->text(), QStringLiteral("Select....."));
    const QStringList row{"0815", "1.50", "", "200", "Clockwise", "Logging"};
    for (int c = 1; c <= 6; ++c) {
        QCOMPARE(f.column(6, c), row.at(c - 1));
        QVERIFY(f.column(1, c).isEmpty());
    }
    QVERIFY(f.page(6).RotaryAddrBut->isEnabled()); // the new page is unlocked
}

void RotaryRepliesTest::numberBoxesTakeNumbersOnly() {
    RotaryFixture f;
    for (QLineEdit* box : {f.page(0).RotaryCurrentValueText, f.page(0).RotaryPulleyCircumText}) {
        QTest::keyClicks(box, "-1.2.5!a+");
        QCOMPARE(box->text(), QStringLiteral("-1.25"));
        box->clear();
        box->insert(QStringLiteral("12!")); // as a paste does: the "!" never reaches a request
        QCOMPARE(box->text(), QStringLiteral("12"));
    }
    QCOMPARE(f.beeps, 10);
}

QTEST_MAIN(RotaryRepliesTest)
#include "tst_rotaryreplies.moc"
