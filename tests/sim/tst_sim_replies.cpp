// The sensor models against the reply forms the tool reads: every request of both families,
// read back with the tool's reading rules.

#include "LevelProbe.h"
#include "ReplyReading.h"
#include "RotaryEncoder.h"
#include "SimHarness.h"

#include <QTest>

using namespace ReplyReading;

class SimRepliesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsAsIntended_data();
    void readsAsIntended();
    void otherFamilyIgnored_data();
    void otherFamilyIgnored();
    void levelReadings_data();
    void levelReadings();
    void rotaryReadings_data();
    void rotaryReadings();
    void readingsDrift();
};

namespace {

// Reads a line with the named rule of the tool's decoder.
QString read(const QString& rule, const QString& line) {
    const int q = p(line);
    if (rule == QLatin1String("address"))
        return line.mid(line.lastIndexOf(QLatin1Char('!')) + 1);
    if (rule == QLatin1String("code"))
        return QString::number(unitCode(line));
    if (rule == QLatin1String("digit"))
        return QString::number(digit(at(line, q + 2)));
    if (rule == QLatin1String("signed"))
        return signedText(line);
    if (rule == QLatin1String("signed4"))
        return roundIt(signedText(line).toDouble(), 4);
    if (rule == QLatin1String("sg"))
        return roundIt(1.0 / signedText(line).toDouble(), 6);
    if (rule == QLatin1String("rest"))
        return from(line, q + 2);
    if (rule == QLatin1String("filter")) {
        const int readings = 10 * digit(at(line, q + 4)) + digit(at(line, q + 5));
        const int interval = line.mid(q + 6, 4).toInt();
        return QStringLiteral("%1 x %2").arg(readings).arg(interval);
    }
    if (rule == QLatin1String("measure")) // ttt and n
        return line.mid(q + 1, 3) + QLatin1Char('/') + at(line, q + 5);
    if (rule == QLatin1String("id"))
        return identification(line).join(QLatin1Char('|'));
    if (rule == QLatin1String("data"))
        return QString::number(dataValues(line).size());
    if (rule == QLatin1String("answered"))
        return QString::number(line.size() > q && at(line, q + 1).isDigit());
    if (rule.startsWith(QLatin1String("r-"))) { // rotary rules, "r-kind[:mnemonic]"
        const QStringList parts = rule.mid(2).split(QLatin1Char(':'));
        const int pos = parts.size() > 1 ? skipMnemonic(line, parts[1]) : q;
        if (parts[0] == QLatin1String("digit"))
            return QString::number(digit(at(line, pos + 2)));
        if (parts[0] == QLatin1String("rest"))
            return rotaryRest(line, pos);
        if (parts[0] == QLatin1String("value"))
            return QString::number(rotaryRestWithoutPlus(line, pos).toDouble());
    }
    return QStringLiteral("unknown rule ") + rule;
}

void row(const char* name, const QStringList& setup, const QString& request, const char* rule,
         const QString& expected, bool repeatMnemonic = false) {
    QTest::newRow(name) << setup << request << QString::fromLatin1(rule) << expected
                        << repeatMnemonic;
}

} // namespace

void SimRepliesTest::readsAsIntended_data() {
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("repeatMnemonic");

    // Level probe at 3 (locked as it comes), encoder at 2.
    const QStringList none;
    row("level: acknowledge", none, "3!", "address", "3");
    row("level: address change", none, "3A6!", "address", "6");
    row("level: pressure unit query", none, "3XUP!", "code", "0");
    row("level: pressure unit set 12", none, "3XUP12!", "code", "12");
    row("level: pressure unit set 5", none, "3XUP5!", "code", "5");
    row("level: pressure unit read after set", {"3XUP13!"}, "3XUP!", "code", "13");
    row("level: unknown unit code kept", {"3XUP3!"}, "3XUP4!", "code", "3");
    row("level: temperature unit", none, "3XUT!", "digit", "0");
    row("level: temperature unit set", none, "3XUT1!", "digit", "1");
    row("level: temperature unit beyond list", none, "3XUT2!", "digit", "0");
    row("level: density correction", none, "3XP!", "digit", "0");
    row("level: density correction set", none, "3XP1!", "digit", "1");
    row("level: local gravity", none, "3XE!", "signed", "9.80665");
    row("level: local gravity set", none, "3XE9.81!", "signed", "9.81");
    row("level: identification", none, "3I!", "id",
        "SDI Version = 1.3|Company Name = CORVANE |Sensor Model = LVL300|Sensor Version = 214");
    row("level: measurement", none, "3M!", "measure", "002/2");
    row("level: short filter, one second", {"3XF0,05,0001!"}, "3M!", "measure", "001/2");
    row("level: data", none, "3D0!", "data", "2");
    row("level: range", none, "3XRA!", "signed4", "10");
    row("level: range set while locked", none, "3XRA12.5!", "signed4", "10");
    row("level: range set unlocked", {"3XUNLK1!"}, "3XRA1.23456!", "signed4", "1.2346");
    row("level: range relocked", {"3XUNLK1!", "3XUNLK0!"}, "3XRA20!", "signed4", "10");
    row("level: max over range", none, "3XMOR!", "signed4", "12");
    row("level: max over range set while locked", none, "3XMOR15!", "signed4", "12");
    row("level: max over range set unlocked", {"3XUNLK1!"}, "3XMOR15!", "signed4", "15");
    row("level: range follows unit", {"3XUP13!"}, "3XRA!", "signed4", "980.665");
    row("level: reverse", none, "3XREV!", "digit", "0");
    row("level: reverse set", none, "3XREV1!", "digit", "1");
    row("level: local level", none, "3XLOF!", "signed4", "0");
    row("level: local level set negative", none, "3XLOF-1.5!", "signed4", "-1.5");
    row("level: local level set", none, "3XLOF0.75!", "signed4", "0.75");
    row("level: local offset applied", none, "3XLOC!", "digit", "0");
    row("level: local offset set", none, "3XLOC1!", "digit", "1");
    row("level: unlock flag", none, "3XUNLK!", "digit", "0");
    row("level: unlock", none, "3XUNLK1!", "digit", "1");
    row("level: serial number", none, "3XSN!", "rest", "314073");
    row("level: filter", none, "3XF!", "filter", "10 x 1");
    row("level: filter set", none, "3XF0,05,0250!", "filter", "5 x 250");
    row("level: filter set 12 x 100", none, "3XF0,12,0100!", "filter", "12 x 100");
    row("level: filter set zero readings refused", none, "3XF0,00,0100!", "filter", "10 x 1");
    row("level: auto zero", none, "3XSPM0.0!", "measure", "002/1");
    row("level: level offset", none, "3XSPM1.5!", "measure", "002/1");
    row("level: specific gravity set", none, "3XU0,0.97561!", "sg", "1.025");
    row("level: specific gravity 0.8", none, "3XU0,1.25!", "sg", "0.8");
    row("level: specific gravity query", {"3XU0,0.97561!"}, "3XU0!", "sg", "1.025");
    row("level: specific gravity reset", {"3XU0,1.25!"}, "3XU0,1.0!", "sg", "1");
    row("level: trim off", none, "3XTRIMOF0.0!", "answered", "1");
    row("level: trim on", none, "3XTRIMON1!", "answered", "1");
    row("level: user offset", none, "3XU1,0.0!", "answered", "1");
    row("level: zero correction", none, "3XANCLV0!", "signed", "0.0");
    row("level: zero correction set", none, "3XANCLV0,-0.012!", "signed", "-0.012");
    row("level: zero correction positive", none, "3XANCLV0,0.5!", "signed", "0.5");
    row("level: slope", none, "3XANCLV1!", "signed", "1.0");
    row("level: slope set", none, "3XANCLV1,1.0204!", "signed", "1.0204");
    row("level: calibration on", none, "3XANCALON1!", "answered", "1");

    row("rotary: acknowledge", none, "2!", "address", "2");
    row("rotary: address change", none, "2A8!", "address", "8");
    row("rotary: units", none, "2XMU!", "r-digit:XMU", "0");
    row("rotary: units set", none, "2XMU1!", "r-digit:XMU", "1");
    row("rotary: units beyond list kept", {"2XMU3!"}, "2XMU7!", "r-digit:XMU", "3");
    row("rotary: units, mnemonic repeated", none, "2XMU3!", "r-digit:XMU", "3", true);
    row("rotary: circumference", none, "2XCP!", "r-rest:XCP", "0.375");
    row("rotary: circumference set", none, "2XCP0.5!", "r-rest:XCP", "0.5");
    row("rotary: circumference, mnemonic repeated", none, "2XCP!", "r-rest:XCP", "0.375", true);
    row("rotary: circumference follows units", {"2XMU1!"}, "2XCP!", "r-rest:XCP", "375.0");
    row("rotary: direction", none, "2XRD!", "r-digit:XRD", "1");
    row("rotary: direction set", none, "2XRD0!", "r-digit:XRD", "0");
    row("rotary: direction, mnemonic repeated", none, "2XRD0!", "r-digit:XRD", "0", true);
    row("rotary: counts per revolution", none, "2XPC!", "r-rest", "1000");
    row("rotary: current value set", none, "2XCV12.5!", "r-value:XCV", "12.5");
    row("rotary: current value negative", none, "2XCV-3.25!", "r-value:XCV", "-3.25");
    row("rotary: current value, mnemonic repeated", none, "2XCV12.5!", "r-value:XCV", "12.5", true);
    row("rotary: current value read back", {"2XCV7!"}, "2XCV!", "r-value:XCV", "7");
    row("rotary: set to zero", none, "2XZE!", "r-value", "0");
    row("rotary: identification", none, "2I!", "id",
        "SDI Version = 1.3|Company Name = CORVANE |Sensor Model = ROT210|Sensor Version = 107");
    row("rotary: serial number", none, "2XSN!", "r-rest", "528612");
    row("rotary: concurrent measurement", none, "2C!", "measure", "000/0");
    row("rotary: data after current value", {"2XCV4.25!"}, "2D0!", "r-value", "4.25");
}

void SimRepliesTest::readsAsIntended() {
    QFETCH(QStringList, setup);
    QFETCH(QString, request);
    QFETCH(QString, rule);
    QFETCH(QString, expected);
    QFETCH(bool, repeatMnemonic);

    SimHarness sim;
    // A still environment, so values read back exactly.
    sim::LevelProbe& probe = sim.bus.addLevelProbe('3');
    probe.setEnvironment(sim::Waveform(2.0, {}, {}, 0, 1), sim::Waveform(15.0, {}, {}, 0, 2));
    sim::RotaryEncoder& encoder = sim.bus.addRotaryEncoder('2');
    encoder.setEnvironment(sim::Waveform(1.5, {}, {}, 0, 3));
    encoder.setRepeatMnemonic(repeatMnemonic);

    for (const QString& step : setup)
        QVERIFY2(!sim.line(step.toLatin1()).isEmpty(), qPrintable(step));
    const QString line = sim.line(request.toLatin1());
    QVERIFY2(line.startsWith(request), qPrintable(QStringLiteral("line: ") + line));
    QCOMPARE(read(rule, line), expected);
}

void SimRepliesTest::otherFamilyIgnored_data() {
    QTest::addColumn<QByteArray>("request");
    for (const char* r :
         {"3XMU!",  "3XMU1!",       "3XCP!",     "3XRD1!",      "3XPC!",    "3XCV1.0!", "3XZE!",
          "3C!",    "2XUP!",        "2XUT1!",    "2XP!",        "2XE!",     "2M!",      "2XRA!",
          "2XMOR!", "2XREV1!",      "2XLOF!",    "2XLOC!",      "2XUNLK1!", "2XF!",     "2XSPM0.0!",
          "2XU0!",  "2XTRIMOF0.0!", "2XANCLV0!", "2XANCALON1!", "3XQQ!"})
        QTest::newRow(r) << QByteArray(r);
}

void SimRepliesTest::otherFamilyIgnored() {
    QFETCH(QByteArray, request);
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim.bus.addRotaryEncoder('2');
    // Only the interface's echo comes back.
    QCOMPARE(sim.exchange(request, sim::milliseconds(5000)), request);
}

void SimRepliesTest::levelReadings_data() {
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("pressure");
    QTest::addColumn<QString>("temperature");

    // 2.000 m of water at 15.0 C.
    QTest::newRow("as delivered") << QStringList{} << "2.000"
                                  << "15.0";
    QTest::newRow("mbar") << QStringList{"3XUP13!"} << "196.13"
                          << "15.0";
    QTest::newRow("KPa") << QStringList{"3XUP14!"} << "19.613"
                         << "15.0";
    QTest::newRow("ftH2O") << QStringList{"3XUP1!"} << "6.562"
                           << "15.0";
    QTest::newRow("mH2O absolute") << QStringList{"3XUNLK1!", "3XMOR20!", "3XUP10!"} << "12.332"
                                   << "15.0";
    QTest::newRow("Fahrenheit") << QStringList{"3XUT1!"} << "2.000"
                                << "59.0";
    QTest::newRow("specific gravity 1.025") << QStringList{"3XU0,0.97561!"} << "1.951"
                                            << "15.0";
    QTest::newRow("uncompensated ignores gravity") << QStringList{"3XE9.70!", "3XP1!"} << "2.000"
                                                   << "15.0";
    QTest::newRow("compensated for gravity") << QStringList{"3XE9.70!"} << "2.022"
                                             << "15.0";
    QTest::newRow("zero and slope")
        << QStringList{"3XANCLV0,-0.012!", "3XANCLV1,1.0204!"} << "2.029"
        << "15.0";
    QTest::newRow("calibration off") << QStringList{"3XANCLV0,-0.5!", "3XANCALON0!"} << "2.000"
                                     << "15.0";
    QTest::newRow("local level not applied") << QStringList{"3XLOF1.5!"} << "2.000"
                                             << "15.0";
    QTest::newRow("local level applied") << QStringList{"3XLOF1.5!", "3XLOC1!"} << "3.500"
                                         << "15.0";
    QTest::newRow("reverse") << QStringList{"3XREV1!"} << "8.000"
                             << "15.0";
    QTest::newRow("auto zero") << QStringList{"3XSPM0.0!"} << "0.000"
                               << "15.0";
    QTest::newRow("level offset") << QStringList{"3XSPM5.25!"} << "5.250"
                                  << "15.0";
    QTest::newRow("level offset with local level")
        << QStringList{"3XLOF1.5!", "3XLOC1!", "3XSPM4!"} << "4.000"
        << "15.0";
    QTest::newRow("trim offset on") << QStringList{"3XU1,0.25!"} << "2.250"
                                    << "15.0";
    QTest::newRow("trim off") << QStringList{"3XU1,0.25!", "3XTRIMOF0.0!"} << "2.000"
                              << "15.0";
    QTest::newRow("clamped at max over range") << QStringList{"3XUNLK1!", "3XMOR1.5!"} << "1.500"
                                               << "15.0";
}

void SimRepliesTest::levelReadings() {
    QFETCH(QStringList, setup);
    QFETCH(QString, pressure);
    QFETCH(QString, temperature);

    SimHarness sim;
    sim.bus.addLevelProbe('3').setEnvironment(sim::Waveform(2.0, {}, {}, 0, 1),
                                              sim::Waveform(15.0, {}, {}, 0, 2));
    for (const QString& step : setup)
        QVERIFY2(!sim.line(step.toLatin1()).isEmpty(), qPrintable(step));
    sim.clock.advanceBy(sim::milliseconds(10'000)); // for a measurement among the steps
    const QStringList values = dataValues(sim.line("3D0!"));
    QCOMPARE(values, (QStringList{pressure, temperature}));
}

void SimRepliesTest::rotaryReadings_data() {
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<double>("value");

    // The float at 1.5 m; 1000 lines on a 0.375 m pulley: 16000 counts, 0.09375 mm each.
    QTest::newRow("as delivered") << QStringList{} << 1.5;
    QTest::newRow("current value") << QStringList{"2XCV12.5!"} << 12.5;
    QTest::newRow("zero") << QStringList{"2XCV12.5!", "2XZE!"} << 0.0;
    QTest::newRow("millimetres") << QStringList{"2XCV12.5!", "2XMU1!"} << 12500.0;
    QTest::newRow("feet") << QStringList{"2XMU3!"} << 4.921;
    QTest::newRow("anticlockwise") << QStringList{"2XRD0!"} << -1.5;
    QTest::newRow("larger pulley, same counts") << QStringList{"2XCP0.75!"} << 1.5;
}

void SimRepliesTest::rotaryReadings() {
    QFETCH(QStringList, setup);
    QFETCH(double, value);

    SimHarness sim;
    sim.bus.addRotaryEncoder('2').setEnvironment(sim::Waveform(1.5, {}, {}, 0, 3));
    for (const QString& step : setup)
        QVERIFY2(!sim.line(step.toLatin1()).isEmpty(), qPrintable(step));
    const QString line = sim.line("2D0!");
    QCOMPARE(rotaryRestWithoutPlus(line, p(line)).toDouble(), value);
}

void SimRepliesTest::readingsDrift() {
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim.bus.addRotaryEncoder('2');
    QStringList levels, temperatures, encoder;
    for (int minute = 0; minute < 30; minute += 5) {
        sim.clock.advanceTo(sim::milliseconds(qint64{minute} * 60'000));
        const QStringList values = dataValues(sim.line("3D0!"));
        QVERIFY(values[0].toDouble() > 0.5 && values[0].toDouble() < 2.0);
        QVERIFY(values[1].toDouble() > 5.0 && values[1].toDouble() < 20.0);
        levels << values[0];
        temperatures << values[1];
        const QString line = sim.line("2D0!");
        encoder << rotaryRestWithoutPlus(line, p(line));
    }
    // Something changes between readings five minutes apart.
    QCOMPARE(QSet<QString>(levels.begin(), levels.end()).size(), levels.size());
    QCOMPARE(QSet<QString>(encoder.begin(), encoder.end()).size(), encoder.size());
    QVERIFY(QSet<QString>(temperatures.begin(), temperatures.end()).size() > 1);
}

QTEST_GUILESS_MAIN(SimRepliesTest)
#include "tst_sim_replies.moc"
