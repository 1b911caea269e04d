// The tool's link against the simulated bus, end to end: once through a real pseudo-terminal
// with the Qt serial port (paced at 1200 baud), once through the in-process port on a clock
// that skips ahead. The link must frame echo and answer as one line, time out on a silent
// address and chain a measurement through its service request to the data request.

#include "Bus.h"
#include "BusPort.h"
#include "FakeDialogs.h"
#include "LevelProbe.h"
#include "LinkSupport.h"
#include "ManualScheduler.h"
#include "PtyServer.h"
#include "RealTimeScheduler.h"
#include "core/link/Link.h"
#include "core/platform/PortMap.h"
#include "core/platform/QtSerialPort.h"

#include <QTest>
#include <memory>

namespace {

using sdilink::Code;

// A minimal decoder: a measurement reply whose wait is not zero makes the receiver await the
// service request.
class MeasuringHandler final : public sdilink::LinkHandler {
public:
    explicit MeasuringHandler(sdilink::Link& link) : link_(link) {}

    void Decode_SDI12(const sdilink::Transaction& t, const QByteArray& line) override {
        lines.append(line);
        const qsizetype p = line.indexOf('!') + 1;
        if (t.code == Code::Measure) {
            const int wait = line.mid(p + 1, 3).toInt() - 1;
            if (wait != 0)
                link_.setReceiveState(sdilink::Framer::State::AwaitingServiceRequest);
            else
                link_.sendDataRequest(line.at(p) - '0');
            return;
        }
        link_.setReplyStatus(1);
    }
    void unlockPage(int) override {}

    QList<QByteArray> lines;

private:
    sdilink::Link& link_;
};

// The bus and the port of one way of connecting.
struct Connection {
    std::unique_ptr<sim::Scheduler> clock;
    std::unique_ptr<sim::Bus> bus;
    std::unique_ptr<sim::PtyServer> server;
    platform::PortMap ports;
    std::unique_ptr<platform::SerialPort> port;
};

std::unique_ptr<Connection> makeConnection(bool pty) {
    auto c = std::make_unique<Connection>();
    if (pty) {
        c->clock = std::make_unique<sim::RealTimeScheduler>();
    } else {
        auto manual = std::make_unique<sim::ManualScheduler>();
        manual->setAutoAdvance(true);
        c->clock = std::move(manual);
    }
    c->bus = std::make_unique<sim::Bus>(*c->clock);
    c->bus->setPacing(true);
    c->bus->addLevelProbe('1').setMeasurementTime(sim::milliseconds(1100));
    c->bus->addRotaryEncoder('2');
    if (pty) {
        c->server = std::make_unique<sim::PtyServer>(*c->bus);
        if (!c->server->open())
            return nullptr;
        c->ports.bind(1, c->server->slavePath());
        c->port = std::make_unique<platform::QtSerialPort>(c->ports);
    } else {
        c->port = std::make_unique<sim::BusPort>(*c->bus);
    }
    if (!c->port->open(1))
        return nullptr;
    return c;
}

} // namespace

class SimLinkTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void transactions_data();
    void transactions();
};

void SimLinkTest::transactions_data() {
    QTest::addColumn<bool>("pty");
    QTest::newRow("pseudo-terminal, Qt serial port") << true;
    QTest::newRow("in-process port") << false;
}

void SimLinkTest::transactions() {
    QFETCH(bool, pty);
    const std::unique_ptr<Connection> c = makeConnection(pty);
    QVERIFY(c);

    testing::FakeDialogs dialogs;
    sdilink::Link link(*c->port, testing::instantPause(),
                       [] { return QDateTime::currentDateTime(); });
    MeasuringHandler handler(link);
    link.setHandler(&handler);
    sdilink::Link::Timings timings;
    timings.CommandTimeout = 600;
    link.setTimings(timings);

    const auto transact = [&](const QByteArray& request, Code code) {
        link.setMeasureAddress(request.front() - '0');
        return testing::finish(link.transact([&] {
            link.transmit(sdilink::Transaction::forPage(request.front() - '0', code, request));
        }));
    };

    QVERIFY(transact("1XUP!", Code::PressUnitsQuery));
    QVERIFY(transact("2XMU!", Code::RotaryUnitsQuery));
    QVERIFY(!transact("7XUP!", Code::PressUnitsQuery)); // nobody there: the time-out ends it
    QVERIFY(transact("1M!", Code::Measure));            // wait 002: service request, then 1D0!
    QCOMPARE(handler.lines.size(), 4);
    QCOMPARE(handler.lines[0], QByteArray("1XUP!10"));
    QCOMPARE(handler.lines[1], QByteArray("2XMU!20"));
    QCOMPARE(handler.lines[2], QByteArray("1M!10022"));
    QVERIFY2(handler.lines[3].startsWith("1D0!1+"), handler.lines[3].constData());
    QCOMPARE(handler.lines[3].count('+') + handler.lines[3].count('-'), 2);

    // The bus saw exactly the requests the link sent, the data request included.
    QList<QByteArray> requests;
    for (const sim::TrafficRecord& r : c->bus->traffic())
        if (r.kind == sim::TrafficRecord::Kind::Request)
            requests.append(r.bytes);
    QCOMPARE(requests, (QList<QByteArray>{"1XUP!", "2XMU!", "7XUP!", "1M!", "1D0!"}));
}

QTEST_GUILESS_MAIN(SimLinkTest)
#include "tst_sim_link.moc"
