// The bus: echo, routing by address, service requests, faults, pacing and the traffic
// record, all on a manual clock.

#include "BusConfig.h"
#include "LevelProbe.h"
#include "RotaryEncoder.h"
#include "SimHarness.h"

#include <QTest>

using sim::Micros;
using sim::milliseconds;

class SimBusTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nothingComesBackBeforeTheClockRuns();
    void echoAndAnswerByAddress_data();
    void echoAndAnswerByAddress();
    void addressChangeMovesTheSensor();
    void requestsSplitAcrossWrites();
    void breakOrSilenceDropsAHalfRequest();
    void measurementTiming_data();
    void measurementTiming();
    void breakAbortsTheMeasurement_data();
    void breakAbortsTheMeasurement();
    void dataStayUntilTheNextMeasurement();
    void faults_data();
    void faults();
    void settingFaults_data();
    void settingFaults();
    void lateLineComesWhole();
    void pacingTakesOneCharacterTimePerByte();
    void responseDelay();
    void trafficRecord();
    void config_data();
    void config();
    void configAppliesToBus();
};

void SimBusTest::nothingComesBackBeforeTheClockRuns() {
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim.bus.receive("3XUP!");
    QVERIFY(sim.received.isEmpty());
    sim.clock.advanceBy(Micros{0});
    QCOMPARE(sim.received, QByteArray("3XUP!30\r\n"));
}

void SimBusTest::echoAndAnswerByAddress_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("level probe") << QByteArray("3XUP!") << QByteArray("3XUP!30\r\n");
    QTest::newRow("encoder") << QByteArray("2XRD!") << QByteArray("2XRD!21\r\n");
    QTest::newRow("empty address: echo only") << QByteArray("7XUP!") << QByteArray("7XUP!");
    QTest::newRow("empty address, identification") << QByteArray("0I!") << QByteArray("0I!");
    QTest::newRow("address query answers the lowest") << QByteArray("?!") << QByteArray("?!2\r\n");
    QTest::newRow("unknown request: echo only") << QByteArray("3XYZ!") << QByteArray("3XYZ!");
    QTest::newRow("no address: echo only") << QByteArray("!") << QByteArray("!");
}

void SimBusTest::echoAndAnswerByAddress() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim.bus.addRotaryEncoder('2');
    QCOMPARE(sim.exchange(request, milliseconds(100)), expected);
}

void SimBusTest::addressChangeMovesTheSensor() {
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    QCOMPARE(sim.exchange("3A6!"), QByteArray("3A6!6\r\n"));
    QCOMPARE(sim.exchange("3XUP!"), QByteArray("3XUP!"));
    QCOMPARE(sim.exchange("6XUP!"), QByteArray("6XUP!60\r\n"));
    QCOMPARE(sim.exchange("?!"), QByteArray("?!6\r\n"));
    // Its settings went with it.
    QCOMPARE(sim.exchange("6XSN!"), QByteArray("6XSN!6314073\r\n"));
    // A new address that is none leaves it where it is.
    QCOMPARE(sim.exchange("6A#!"), QByteArray("6A#!6\r\n"));
}

void SimBusTest::requestsSplitAcrossWrites() {
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim.bus.receive("3X");
    sim.clock.advanceBy(milliseconds(3));
    QCOMPARE(sim.received, QByteArray("3X"));
    sim.bus.receive("UP13!");
    sim.clock.advanceBy(milliseconds(3));
    QCOMPARE(sim.received, QByteArray("3XUP13!313\r\n"));
}

void SimBusTest::breakOrSilenceDropsAHalfRequest() {
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim.bus.receive("3XU");
    sim.clock.advanceBy(milliseconds(10));
    QCOMPARE(std::exchange(sim.received, {}), QByteArray("3XU")); // echoed as it passed
    QCOMPARE(sim.exchange("3XUT!"), QByteArray("3XUT!30\r\n"));

    // Where no break can pass (a pty), a silence as long as one does the same.
    sim.bus.receive("hello");
    sim.clock.advanceBy(milliseconds(12));
    sim.received.clear();
    sim.bus.receive("3XUT!");
    sim.clock.advanceBy(milliseconds(1));
    QCOMPARE(sim.received, QByteArray("3XUT!30\r\n"));
    // A shorter pause is part of the same request.
    sim.bus.receive("3XU");
    sim.clock.advanceBy(milliseconds(5));
    sim.bus.receive("P!");
    sim.clock.advanceBy(milliseconds(1));
    QCOMPARE(sim.received, QByteArray("3XUT!30\r\n3XUP!30\r\n"));
}

namespace {

// A level probe at 3 and an encoder at 2 with the faults given for them; the measurement
// time of both when measurementMs is not -1.
void addSensors(SimHarness& sim, qint64 measurementMs, const QStringList& faults) {
    sim::LevelProbe& probe = sim.bus.addLevelProbe('3');
    sim::RotaryEncoder& encoder = sim.bus.addRotaryEncoder('2');
    if (measurementMs >= 0) {
        probe.setMeasurementTime(milliseconds(measurementMs));
        encoder.setMeasurementTime(milliseconds(measurementMs));
    }
    sim::BusConfig config;
    for (const QString& fault : faults)
        QVERIFY(config.addFault(fault, nullptr));
    for (auto it = config.faults.cbegin(); it != config.faults.cend(); ++it)
        sim.bus.setFaults(it.key(), it.value());
}

} // namespace

void SimBusTest::measurementTiming_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<qint64>("measurementMs"); // -1: the sensor's own
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<qint64>("readyMs"); // after the reply
    QTest::addColumn<bool>("serviceRequest");
    const auto row = [](const char* name, const char* request, qint64 measurementMs,
                        const QStringList& faults, const char* answer, qint64 readyMs, bool sr) {
        QTest::newRow(name) << QByteArray(request) << measurementMs << faults << QByteArray(answer)
                            << readyMs << sr;
    };
    row("level M, filter 10 x 1", "3M!", -1, {}, "30022", 2000, true);
    row("level M, 1.5 s", "3M!", 1500, {}, "30022", 1500, true);
    row("level M, at once", "3M!", 0, {}, "30002", 0, false);
    row("level auto zero", "3XSPM0.0!", -1, {}, "30021", 2000, true);
    row("rotary C, at once", "2C!", -1, {}, "200001", 0, false);
    row("rotary C, 2.5 s", "2C!", 2500, {}, "200301", 2500, true);
    row("really longer than announced", "3M!", 1500, {"3:measure=3700"}, "30022", 3700, true);
    row("really shorter than announced", "3M!", -1, {"3:measure=400"}, "30022", 400, true);
    row("announced 000, takes time", "2C!", -1, {"2:measure=700"}, "200001", 700, false);
    row("no service request", "3M!", -1, {"3:no-service-request"}, "30022", 2000, false);
    row("zero wait: ready at once", "3M!", -1, {"3:zero-wait"}, "30002", 0, false);
    row("zero wait, taking time", "3M!", -1, {"3:zero-wait", "3:measure=1200"}, "30002", 1200,
        false);
}

void SimBusTest::measurementTiming() {
    QFETCH(QByteArray, request);
    QFETCH(qint64, measurementMs);
    QFETCH(QStringList, faults);
    QFETCH(QByteArray, answer);
    QFETCH(qint64, readyMs);
    QFETCH(bool, serviceRequest);
    const QByteArray address(1, request.front());
    const QByteArray noData = address + "D0!" + address + "\r\n";
    const Micros ready = milliseconds(readyMs);

    // Asked for a moment too early, the data are lost for good.
    if (ready > Micros{0}) {
        SimHarness sim;
        addSensors(sim, measurementMs, faults);
        QCOMPARE(sim.exchange(request, ready - Micros{1}), request + answer + "\r\n");
        QCOMPARE(sim.exchange(address + "D0!", milliseconds(100'000)), noData);
    }

    SimHarness sim;
    addSensors(sim, measurementMs, faults);
    QCOMPARE(sim.exchange(request), request + answer + "\r\n");
    if (ready > Micros{0}) {
        sim.clock.advanceBy(ready - Micros{1});
        QCOMPARE(sim.received, QByteArray());
        sim.clock.advanceBy(Micros{1});
    }
    QCOMPARE(std::exchange(sim.received, {}), serviceRequest ? address + "\r\n" : QByteArray());
    sim.clock.advanceBy(milliseconds(100'000));
    QCOMPARE(sim.received, QByteArray());
    const QByteArray data = sim.exchange(address + "D0!");
    QVERIFY2(data.startsWith(address + "D0!" + address) && data != noData, data.constData());
}

void SimBusTest::breakAbortsTheMeasurement_data() {
    QTest::addColumn<QByteArray>("interruption"); // empty: a break alone
    QTest::newRow("data request") << QByteArray("3D0!");
    QTest::newRow("request to another sensor") << QByteArray("5XUP!");
    QTest::newRow("request to an empty address") << QByteArray("7I!");
    QTest::newRow("break alone") << QByteArray();
}

void SimBusTest::breakAbortsTheMeasurement() {
    QFETCH(QByteArray, interruption);
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim.bus.addLevelProbe('5');
    sim.exchange("3M!", milliseconds(1999));
    if (interruption.isEmpty())
        sim.bus.lineBreak();
    else
        sim.bus.receive(interruption); // as on a pty, where the break cannot pass
    sim.clock.advanceBy(milliseconds(10'000));
    for (const sim::TrafficRecord& record : sim.bus.traffic())
        QVERIFY(record.kind != sim::TrafficRecord::Kind::ServiceRequest);
    QCOMPARE(sim.exchange("3D0!"), QByteArray("3D0!3\r\n"));

    // The next measurement runs its course.
    sim.exchange("3M!", milliseconds(2000));
    QVERIFY(sim.exchange("3D0!").startsWith("3D0!3+"));
}

void SimBusTest::dataStayUntilTheNextMeasurement() {
    SimHarness sim;
    sim.bus.addLevelProbe('3'); // its level drifts
    sim.exchange("3M!", milliseconds(2000));
    const QByteArray first = sim.exchange("3D0!");
    sim.clock.advanceBy(milliseconds(600'000));
    sim.exchange("3XUT1!");
    QCOMPARE(sim.exchange("3D0!"), first);
    sim.exchange("3M!", milliseconds(2000));
    QVERIFY(sim.exchange("3D0!") != first);
}

void SimBusTest::faults_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected"); // everything within 10 s

    QTest::newRow("silent") << "3:silent" << QByteArray("3XUP!") << QByteArray("3XUP!");
    QTest::newRow("silent measurement") << "3:silent" << QByteArray("3M!") << QByteArray("3M!");
    QTest::newRow("no CR") << "3:no-cr" << QByteArray("3XUP!") << QByteArray("3XUP!30\n");
    QTest::newRow("no CR, service request too")
        << "3:no-cr" << QByteArray("3M!") << QByteArray("3M!30022\n3\n");
    QTest::newRow("noise before the echo")
        << "3:noise" << QByteArray("3XUP!") << QByteArray("\x00\x7f~#3XUP!30\r\n", 13);
    QTest::newRow("garbage") << "3:garbage" << QByteArray("3XUP!") << QByteArray("3XUP!#?%&*\r\n");
    QTest::newRow("garbage measurement has no service request")
        << "3:garbage" << QByteArray("3M!") << QByteArray("3M!#?%&*\r\n");
    QTest::newRow("zero wait") << "3:zero-wait" << QByteArray("3M!") << QByteArray("3M!30002\r\n");
    QTest::newRow("zero wait, auto zero")
        << "3:zero-wait" << QByteArray("3XSPM0.0!") << QByteArray("3XSPM0.0!30001\r\n");
    QTest::newRow("zero wait leaves other answers alone")
        << "3:zero-wait" << QByteArray("3XF!") << QByteArray("3XF!30,10,0001\r\n");
    QTest::newRow("another address is unaffected")
        << "5:silent" << QByteArray("3XUP!") << QByteArray("3XUP!30\r\n");
    QTest::newRow("late to an empty address: the echo comes late")
        << "7:late=300" << QByteArray("7XUP!") << QByteArray("7XUP!");
}

void SimBusTest::faults() {
    QFETCH(QString, fault);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);

    sim::BusConfig config;
    QVERIFY(config.addFault(fault, nullptr));
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim.bus.setFaults(fault.front().toLatin1(), config.faults.value(fault.front().toLatin1()));
    QCOMPARE(sim.exchange(request, milliseconds(10'000)), expected);
}

void SimBusTest::settingFaults_data() {
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QByteArrayList>("requests");
    QTest::addColumn<QByteArrayList>("expected"); // what comes back for each

    const auto row = [](const char* name, const QStringList& faults, const QByteArrayList& requests,
                        const QByteArrayList& expected) {
        QTest::newRow(name) << faults << requests << expected;
    };
    row("refused set: no answer, the value stays; others set", {"3:refuse=XUT"},
        {"3XUT1!", "3XUT!", "3XP1!"}, {"3XUT1!", "3XUT!30\r\n", "3XP1!31\r\n"});
    row("refused set, encoder", {"2:refuse=XPC"}, {"2XPC500!", "2XPC!"},
        {"2XPC500!", "2XPC!21000\r\n"});
    row("differing numbers: plus one", {"3:differ=XE", "3:differ=XU0"},
        {"3XE9.81!", "3XE!", "3XU0,2.0!"},
        {"3XE9.81!3+10.81\r\n", "3XE!3+10.81\r\n", "3XU0,2.0!3+3.0\r\n"});
    row("differing lists: the next entry, the last wraps",
        {"3:differ=XUP", "3:differ=XREV", "3:differ=XF"},
        {"3XUP3!", "3XUP14!", "3XREV0!", "3XF0,99,0002!"},
        {"3XUP3!35\r\n", "3XUP14!30\r\n", "3XREV0!31\r\n", "3XF0,99,0002!30,01,0002\r\n"});
    row("differing encoder", {"2:differ=XMU", "2:differ=XPC"}, {"2XMU2!", "2XMU3!", "2XPC500!"},
        {"2XMU2!23\r\n", "2XMU3!20\r\n", "2XPC500!2501\r\n"});
}

void SimBusTest::settingFaults() {
    QFETCH(QStringList, faults);
    QFETCH(QByteArrayList, requests);
    QFETCH(QByteArrayList, expected);
    SimHarness sim;
    addSensors(sim, -1, faults);
    QByteArrayList received;
    for (const QByteArray& request : requests)
        received << sim.exchange(request, milliseconds(1000));
    QCOMPARE(received, expected);
}

void SimBusTest::lateLineComesWhole() {
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim::Faults faults;
    faults.lateBy = milliseconds(600);
    sim.bus.setFaults('3', faults);
    QCOMPARE(sim.exchange("3XUP!", milliseconds(600) - Micros{1}), QByteArray());
    sim.clock.advanceBy(Micros{1});
    QCOMPARE(sim.received, QByteArray("3XUP!30\r\n"));
}

void SimBusTest::pacingTakesOneCharacterTimePerByte() {
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim.bus.setPacing(true);
    QList<std::pair<Micros, QByteArray>> arrivals;
    QObject::connect(&sim.bus, &sim::Bus::transmitted, [&](const QByteArray& bytes) {
        arrivals.append({sim.clock.now(), bytes});
    });
    const Micros start = sim.clock.now();
    sim.exchange("3XUP!", milliseconds(1000));

    const QByteArray line = "3XUP!30\r\n";
    QCOMPARE(arrivals.size(), line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        QCOMPARE(arrivals[i].second, line.mid(i, 1));
        // Exact to the microsecond the character times are rounded to.
        QVERIFY(qAbs((arrivals[i].first - start - sim::charactersTime(i + 1)).count()) <= 1);
    }
    // Nine characters at 1200 baud, 7E1: 75 ms.
    QCOMPARE(arrivals.back().first - start, Micros{75'000});
}

void SimBusTest::responseDelay() {
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim.bus.setPacing(true);
    sim.bus.setResponseDelay(milliseconds(15));
    const Micros start = sim.clock.now();
    const Micros lineEnd = start + sim::charactersTime(9) + milliseconds(15);
    QCOMPARE(sim.exchange("3XUP!", lineEnd - start - Micros{2}), QByteArray("3XUP!30\r"));
    sim.clock.advanceTo(lineEnd + Micros{1});
    QCOMPARE(sim.received, QByteArray("\n"));
}

void SimBusTest::trafficRecord() {
    SimHarness sim;
    sim.bus.addLevelProbe('3');
    sim.bus.setPacing(true);
    sim::Faults faults;
    faults.noise = "~~";
    sim.bus.setFaults('5', faults);
    sim.bus.addLevelProbe('5').setMeasurementTime(milliseconds(1000));

    sim.exchange("3XUP!", milliseconds(200));
    sim.exchange("7XUP!", milliseconds(200));
    const Micros measureStart = sim.clock.now();
    sim.exchange("5M!", milliseconds(2000));

    using Kind = sim::TrafficRecord::Kind;
    const QList<sim::TrafficRecord>& t = sim.bus.traffic();
    QCOMPARE(t.size(), 7);
    const QList<std::pair<Kind, QByteArray>> expected{
        {Kind::Request, "3XUP!"},       {Kind::Reply, "30\r\n"},
        {Kind::Request, "7XUP!"},       {Kind::Noise, "~~"},
        {Kind::Request, "5M!"},         {Kind::Reply, "50012\r\n"},
        {Kind::ServiceRequest, "5\r\n"}};
    for (qsizetype i = 0; i < t.size(); ++i) {
        QCOMPARE(t[i].kind, expected[i].first);
        QCOMPARE(t[i].bytes, expected[i].second);
    }
    // The request's characters, then the reply's, back to back.
    QCOMPARE(t[0].end - t[0].start, sim::charactersTime(5));
    QCOMPARE(t[1].start, t[0].end);
    QCOMPARE(t[1].end - t[1].start, sim::charactersTime(4));
    QCOMPARE(t[4].start, measureStart);
    QCOMPARE(t[6].start, t[5].end + milliseconds(1000));
    QCOMPARE(t[6].end - t[6].start, sim::charactersTime(3));

    sim.bus.clearTraffic();
    QVERIFY(sim.bus.traffic().isEmpty());
}

void SimBusTest::config_data() {
    QTest::addColumn<QStringList>("level");
    QTest::addColumn<QStringList>("rotary");
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QStringList>("measure");
    QTest::addColumn<bool>("valid");

    QTest::newRow("lists") << QStringList{"1,3,5"} << QStringList{" 2, 4"} << QStringList{}
                           << QStringList{} << true;
    QTest::newRow("faults") << QStringList{"1"} << QStringList{}
                            << QStringList{"1:silent",       "1:no-cr",
                                           "1:noise",        "1:garbage",
                                           "1:zero-wait",    "1:measure=0",
                                           "1:late",         "2:late=450",
                                           "2:measure=2500", "2:no-service-request",
                                           "1:refuse=XRA",   "1:refuse=XU0",
                                           "1:differ=XUT"}
                            << QStringList{"1=300"} << true;
    QTest::newRow("addresses without commas")
        << QStringList{"1,3"} << QStringList{"24"} << QStringList{} << QStringList{} << false;
    QTest::newRow("address twice")
        << QStringList{"1,3"} << QStringList{"3"} << QStringList{} << QStringList{} << false;
    QTest::newRow("no address") << QStringList{""} << QStringList{} << QStringList{}
                                << QStringList{} << false;
    QTest::newRow("not an address")
        << QStringList{"1,%"} << QStringList{} << QStringList{} << QStringList{} << false;
    QTest::newRow("unknown fault")
        << QStringList{"1"} << QStringList{} << QStringList{"1:slow"} << QStringList{} << false;
    QTest::newRow("fault without address")
        << QStringList{"1"} << QStringList{} << QStringList{"silent"} << QStringList{} << false;
    QTest::newRow("bad delay") << QStringList{"1"} << QStringList{} << QStringList{"1:late=soon"}
                               << QStringList{} << false;
    QTest::newRow("refuse without letters")
        << QStringList{"1"} << QStringList{} << QStringList{"1:refuse="} << QStringList{} << false;
    QTest::newRow("differ, no letters") << QStringList{"1"} << QStringList{}
                                        << QStringList{"1:differ=X-1"} << QStringList{} << false;
    QTest::newRow("bad measuring time") << QStringList{"1"} << QStringList{}
                                        << QStringList{"1:measure=-5"} << QStringList{} << false;
    QTest::newRow("bad measurement time")
        << QStringList{"1"} << QStringList{} << QStringList{} << QStringList{"1:300"} << false;
}

void SimBusTest::config() {
    QFETCH(QStringList, level);
    QFETCH(QStringList, rotary);
    QFETCH(QStringList, faults);
    QFETCH(QStringList, measure);
    QFETCH(bool, valid);

    sim::BusConfig config;
    QString error;
    bool ok = true;
    for (const QString& s : level)
        ok = ok && config.addSensors(sim::Sensor::Family::LevelProbe, s, &error);
    for (const QString& s : rotary)
        ok = ok && config.addSensors(sim::Sensor::Family::RotaryEncoder, s, &error);
    for (const QString& s : faults)
        ok = ok && config.addFault(s, &error);
    for (const QString& s : measure)
        ok = ok && config.addMeasurementTime(s, &error);
    QCOMPARE(ok, valid);
    QCOMPARE(error.isEmpty(), valid);
}

void SimBusTest::configAppliesToBus() {
    sim::BusConfig config = sim::BusConfig::demo();
    QVERIFY(config.addFault(QStringLiteral("4:late=450"), nullptr));
    QVERIFY(config.addMeasurementTime(QStringLiteral("2=3000"), nullptr));
    QVERIFY(config.addRepeatMnemonic(QStringLiteral("2"), nullptr));
    SimHarness sim;
    config.applyTo(sim.bus);

    QVERIFY(sim.bus.pacing());
    QString families;
    for (char a = '0'; a <= '9'; ++a) {
        const sim::Sensor* s = sim.bus.sensorAt(a);
        families += !s                                               ? QLatin1Char('-')
                    : s->family() == sim::Sensor::Family::LevelProbe ? QLatin1Char('L')
                                                                     : QLatin1Char('R');
    }
    QCOMPARE(families, QStringLiteral("-LRLRL----"));
    QCOMPARE(sim.bus.faults('4').lateBy, milliseconds(450));
    auto* encoder = static_cast<sim::RotaryEncoder*>(sim.bus.sensorAt('2'));
    QCOMPARE(encoder->measurementTime(), milliseconds(3000));
    QVERIFY(encoder->repeatMnemonic());
    QVERIFY(!static_cast<sim::RotaryEncoder*>(sim.bus.sensorAt('4'))->repeatMnemonic());
}

QTEST_GUILESS_MAIN(SimBusTest)
#include "tst_sim_bus.moc"
