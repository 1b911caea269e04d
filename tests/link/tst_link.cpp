#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "LinkSupport.h"
#include "ManualScheduler.h"
#include "SchedulerTimers.h"
#include "Wait.h"
#include "core/link/Link.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

using sdilink::Code;
using sdilink::Framer;
using sdilink::Link;
using testing::FakeDialogs;
using testing::FakeSerialPort;

namespace {

// Stands in for the decoder and the family's unlock.
class RecordingHandler final : public sdilink::LinkHandler {
public:
    void Decode_SDI12(const sdilink::Transaction& t, const QByteArray& line) override {
        lines.append(line);
        pages.append(t.page);
        if (onDecode)
            onDecode(line);
    }
    void unlockPage(int page) override { unlocked.append(page); }

    QList<QByteArray> lines;
    QList<int> pages;
    QList<int> unlocked;
    std::function<void(const QByteArray&)> onDecode;
};

sdilink::Transaction request(int page, const QByteArray& bytes, Code code = Code::PressUnitsQuery) {
    return sdilink::Transaction::forPage(page, code, bytes);
}

} // namespace

class LinkTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void init();
    void cleanup();

    void busQueueOrderAndHolds();
    void requestLeavesAsExactBytesAfterBreakAndMark();
    void longBreakLeavesTheWindowLive();
    void closedPortShowsBoxAndStillLogs();
    void flushDiscardsWaitingInputAndResetsState();
    void replySplitOverSeveralReads();
    void commsLogEmptiesBeforeThe151stReceivedLine();
    void sentLinesAreNotLimited();
    void clearCommsEmptiesAtOnce();
    void timeoutEndsTransaction();
    void zeroTimeoutMeansTheDefault();
    void stepResumesAfterTheDecoderReturned();
    void replyMatching_data();
    void replyMatching();
    void otherLinesLeaveTheTransactionRunning_data();
    void otherLinesLeaveTheTransactionRunning();
    void lateReplyAfterTimeoutIsNotDecoded();
    void closedPortEndsTheTransaction();
    void scanMeasurementWaitsTenfold();
    void busFreeFollowsTransactionsAndSequences();
    void noiseIsNoServiceRequest();
    void requestsWaitForTheBus();
    void fullQueueDropsWithABeep();
    void stepSeesOnlyItsOwnAnswer();
    void answerDuringWriteIsKept();
    void silentEchoEndsItsLogLine();
    void wireTrafficIsLogged();
    void serviceRequestSendsDataRequest_data();
    void serviceRequestSendsDataRequest();
    void followUpsGoAfterTheBranchReturns();

private:
    std::shared_ptr<QStringList> trace;
    std::unique_ptr<FakeSerialPort> port;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<RecordingHandler> handler;
    std::unique_ptr<sim::ManualScheduler> clock;
    std::unique_ptr<sim::SchedulerTimers> timers;
    std::unique_ptr<Link> link;
};

void LinkTest::init() {
    trace = std::make_shared<QStringList>();
    port = std::make_unique<FakeSerialPort>(trace);
    dialogs = std::make_unique<FakeDialogs>();
    handler = std::make_unique<RecordingHandler>();
    clock = std::make_unique<sim::ManualScheduler>();
    timers = std::make_unique<sim::SchedulerTimers>(*clock);
    link = std::make_unique<Link>(
        *port, testing::recordingPause(trace),
        [] { return QDateTime(QDate(2026, 12, 6), QTime(14, 3, 27)); }, nullptr, *timers);
    testing::sayWhenPortClosed(*link, *dialogs);
    link->setHandler(handler.get());
    link->setBeeper([] {});
    QVERIFY(port->open(1));
    trace->clear();
}

void LinkTest::cleanup() {
    link.reset();
    timers.reset();
    clock.reset();
    handler.reset();
    port.reset();
}

void LinkTest::requestLeavesAsExactBytesAfterBreakAndMark() {
    link->send_TXbuff("7XUP!");
    QCOMPARE(*trace, QStringList({"break on", "sleep 20", "break off", "sleep 15", "write 7XUP!"}));
    QCOMPARE(port->writes.size(), size_t(1));
    QCOMPARE(port->writes[0], QByteArray("7XUP!")); // no CR, no LF
    QVERIFY(link->TimeoutTimer().isActive());
    QCOMPARE(link->commsLog().lines(), QStringList{"14:03:27 --> 7XUP!"});

    // Other timings apply to the next request.
    trace->clear();
    link->setTimings({5, 40, 200, 400});
    link->send_TXbuff("0M!");
    QCOMPARE(trace->mid(0, 4), QStringList({"break on", "sleep 5", "break off", "sleep 40"}));
}

void LinkTest::longBreakLeavesTheWindowLive() {
    // Break and mark are timer steps: events go on during them, nothing is written before
    // both have passed, and a request given up during the break is never written.
    Link timed(*port, platform::timerPause(),
               [] { return QDateTime(QDate(2026, 12, 6), QTime(14, 3, 27)); });
    timed.setTimings({300, 15, 200, 400});
    QElapsedTimer since;
    since.start();
    timed.transmit(request(7, "7XUP!"));
    bool eventsWent = false;
    QTimer::singleShot(20, port.get(), [&] { eventsWent = port->writes.empty(); });
    QVERIFY(testing::waitUntil([&] { return !port->writes.empty(); }, 5000));
    QVERIFY(eventsWent);
    QVERIFY2(since.elapsed() >= 300, qPrintable(QString::number(since.elapsed())));
    QCOMPARE(port->writes.back(), QByteArray("7XUP!"));

    port->writes.clear();
    timed.transmit(request(7, "7XUT!"));
    timed.setReplyStatus(Link::Abandoned);
    QTest::qWait(400);
    QVERIFY(port->writes.empty());
    QCOMPARE(trace->filter("break").last(), QStringLiteral("break off")); // the line let go
}

void LinkTest::closedPortShowsBoxAndStillLogs() {
    port->close();
    link->setReceiveState(Framer::State::InLine);
    link->transmit(request(0, "0I!", Code::Identification));
    QCOMPARE(dialogs->boxes.size(), 1);
    QCOMPARE(dialogs->boxes[0].title, QStringLiteral("Connection."));
    QCOMPARE(dialogs->boxes[0].text, QStringLiteral("Unable to connect to comm port."));
    QCOMPARE(dialogs->boxes[0].icon, platform::Dialogs::Icon::Exclamation);
    QVERIFY(port->writes.empty());
    QVERIFY(!link->TimeoutTimer().isActive());
    QCOMPARE(link->commsLog().lines(), QStringList{"14:03:27 --> 0I!"});
    QCOMPARE(link->ReceiveState(), Framer::State::Idle);
}

void LinkTest::flushDiscardsWaitingInputAndResetsState() {
    port->preload("0M!00011\r\n");
    link->setReceiveState(Framer::State::InLine);
    link->send_TXbuff("0M!");
    QCOMPARE(port->bytesWaiting(), 0);
    QCOMPARE(link->ReceiveState(), Framer::State::Idle);
    QTest::qWait(0);
    QVERIFY(handler->lines.isEmpty());
}

void LinkTest::replySplitOverSeveralReads() {
    link->transmit(request(0, "0M!", Code::Measure));
    for (const char* part : {"0", "M!00", "01", "1\r", "\n"}) {
        port->receive(part);
        QCoreApplication::processEvents();
    }
    QCOMPARE(handler->lines, QList<QByteArray>{"0M!00011"});
    QVERIFY(!link->TimeoutTimer().isActive());
    QCOMPARE(link->commsLog().lines().last(), QStringLiteral("14:03:27 <-- 0M!00011"));
}

void LinkTest::commsLogEmptiesBeforeThe151stReceivedLine() {
    for (int i = 0; i < 150; ++i)
        port->preload("1I!\r\n");
    port->receive({});
    QCoreApplication::processEvents();
    QCOMPARE(link->commsLog().count(), 150); // the 150th line is still added
    port->receive("2I!\r\n");
    QCoreApplication::processEvents();
    QCOMPARE(link->commsLog().lines(), QStringList{"14:03:27 <-- 2I!"});
}

void LinkTest::sentLinesAreNotLimited() {
    for (int i = 0; i < 160; ++i)
        link->send_TXbuff("0M!");
    QCOMPARE(link->commsLog().count(), 160);
}

void LinkTest::clearCommsEmptiesAtOnce() {
    link->send_TXbuff("0M!");
    link->commsLog().clear();
    QCOMPARE(link->commsLog().count(), 0);
    link->send_TXbuff("1M!");
    QCOMPARE(link->commsLog().count(), 1);
}

void LinkTest::timeoutEndsTransaction() {
    link->setCommandTimeout(400);
    link->setReplyStatus(Link::Waiting);
    link->transmit(request(4, "4XRA!", Code::RangeQuery));
    port->preload("4XRA!4+1"); // a reply that never ends
    link->setReceiveState(Framer::State::InLine);
    clock->advanceBy(sim::milliseconds(399));
    QCOMPARE(link->replyStatus(), qint16(Link::Waiting));
    clock->advanceBy(sim::milliseconds(1));
    QCOMPARE(link->replyStatus(), qint16(Link::TimedOut));
    QCOMPARE(handler->unlocked, QList<int>{4}); // the transaction's page, whatever is shown
    QVERIFY(!link->TimeoutTimer().isActive());
    QCOMPARE(port->bytesWaiting(), 0);
    QCOMPARE(link->ReceiveState(), Framer::State::Idle);
    QVERIFY(dialogs->boxes.isEmpty()); // time-outs are silent
}

void LinkTest::zeroTimeoutMeansTheDefault() {
    // Nothing waits without a bound: 0 (once "never") stands for the default 400 ms.
    link->setCommandTimeout(0);
    link->transmit(request(0, "0M!", Code::Measure));
    QCOMPARE(link->TimeoutTimer().interval(), 400);
}

void LinkTest::stepResumesAfterTheDecoderReturned() {
    // A step's sequence goes on from the event loop once the reply's branch has returned,
    // never inside it; a box open meanwhile (a nested loop of its own) does not hold it up.
    bool decoding = false;
    handler->onDecode = [&](const QByteArray&) {
        decoding = true;
        QTimer::singleShot(0, port.get(), [&] { decoding = false; });
    };
    QStringList seen;
    auto sequence = [](Link& link, bool& decoding, QStringList& seen) -> QCoro::Task<> {
        const Link::Sequence holds(link);
        const bool answered =
            co_await link.transact([&link] { link.transmit(request(3, "3XUP!")); });
        seen << QStringLiteral("%1 %2").arg(answered).arg(decoding);
        const bool second = co_await link.transact([&link] { link.transmit(request(3, "3XUT!")); });
        seen << QStringLiteral("%1").arg(second);
    }(*link, decoding, seen);
    port->receive("3XUP!312\r\n");
    QTRY_COMPARE(seen, QStringList{"1 0"});
    // The second step's answer comes while a modal box runs its own loop.
    QEventLoop box;
    QTimer::singleShot(0, port.get(), [this] { port->receive("3XUT!31\r\n"); });
    QTimer::singleShot(0, port.get(), [&] {
        QTimer::singleShot(0, port.get(), [&] { QTimer::singleShot(0, &box, &QEventLoop::quit); });
    });
    box.exec();
    QCOMPARE(seen, QStringList({"1 0", "1"}));
    QVERIFY(!link->busy());
    QVERIFY(sequence.isReady());
}

void LinkTest::replyMatching_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("start"); // where the decoded line starts, -1: not the reply
    QTest::newRow("echo and address") << QByteArray("3XUP!") << QByteArray("3XUP!312") << 0;
    QTest::newRow("noise before the echo") << QByteArray("3XUP!")
                                           << QByteArray("3\x7f"
                                                         "3XUP!312")
                                           << 2;
    QTest::newRow("another address answers") << QByteArray("5XUP!") << QByteArray("5XUP!4") << -1;
    QTest::newRow("echo alone") << QByteArray("5XUP!") << QByteArray("5XUP!") << -1;
    QTest::newRow("another request's echo") << QByteArray("3XUT!") << QByteArray("3XUP!31") << -1;
    QTest::newRow("a stray service request") << QByteArray("3XUP!") << QByteArray("4") << -1;
    QTest::newRow("address query, any address") << QByteArray("?!") << QByteArray("?!7") << 0;
    QTest::newRow("address query, no address") << QByteArray("?!") << QByteArray("?!") << -1;
    QTest::newRow("address change, new address") << QByteArray("2A5!") << QByteArray("2A5!5") << 0;
    QTest::newRow("address change, old address") << QByteArray("2A5!") << QByteArray("2A5!2") << -1;
}

void LinkTest::replyMatching() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, line);
    QFETCH(int, start);
    const sdilink::Transaction t =
        sdilink::Transaction::forPage(request[0] == '?' ? 0 : 3, Code::PressUnitsQuery, request);
    QCOMPARE(int(sdilink::replyStart(t, line)), start);

    // A request typed by hand takes any line.
    sdilink::Transaction typed = t;
    typed.answer = sdilink::Transaction::Answer::AnyLine;
    QCOMPARE(int(sdilink::replyStart(typed, line)), 0);
}

void LinkTest::otherLinesLeaveTheTransactionRunning_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("late answer of the last address") << QByteArray("4XUP!40\r\n");
    QTest::newRow("stray service request") << QByteArray("4\r\n");
    QTest::newRow("service request inside the echo") << QByteArray("5XUP!4\r\n");
    QTest::newRow("noise") << QByteArray("5\x13\x7f!\r\n");
}

void LinkTest::otherLinesLeaveTheTransactionRunning() {
    QFETCH(QByteArray, line);
    link->setReplyStatus(Link::Waiting);
    link->transmit(request(5, "5XUP!"));
    port->receive(line);
    QCoreApplication::processEvents();
    QVERIFY(handler->lines.isEmpty());
    QVERIFY(link->TimeoutTimer().isActive());
    QVERIFY(link->awaitingReply());
    QCOMPARE(link->commsLog().count(), 2); // logged all the same
    // The real reply still counts; without it the time-out ends the transaction.
    port->receive("5XUP!52\r\n");
    QCoreApplication::processEvents();
    QCOMPARE(handler->lines, QList<QByteArray>{"5XUP!52"});
    QCOMPARE(handler->pages, QList<int>{5});
    QVERIFY(!link->TimeoutTimer().isActive());
}

void LinkTest::lateReplyAfterTimeoutIsNotDecoded() {
    link->setReplyStatus(Link::Waiting);
    link->transmit(request(0, "0XUP!"));
    clock->runUntilIdle();
    QCOMPARE(link->replyStatus(), qint16(Link::TimedOut));
    port->receive("0XUP!00\r\n");
    QCoreApplication::processEvents();
    QVERIFY(handler->lines.isEmpty());
    QCOMPARE(link->commsLog().lines().last(), QStringLiteral("14:03:27 <-- 0XUP!00"));
}

void LinkTest::closedPortEndsTheTransaction() {
    port->close();
    // A sequence step on a closed port: one box, the page unlocked, no wait.
    QVERIFY(!testing::finish(link->transact([this] { link->transmit(request(6, "6XUP!")); })));
    QCOMPARE(link->replyStatus(), qint16(Link::NotSent));
    QCOMPARE(handler->unlocked, QList<int>{6});
    QCOMPARE(dialogs->boxes.size(), 1);
    QVERIFY(!link->busy());
    // A step whose sender refused sends nothing and does not wait either.
    QVERIFY(!testing::finish(link->transact([] {})));
    QCOMPARE(dialogs->boxes.size(), 1);
}

void LinkTest::scanMeasurementWaitsTenfold() {
    link->setCommandTimeout(400);
    sdilink::Transaction m = request(2, "2M!", Code::Measure);
    m.timeoutFactor = 10;
    link->setReplyStatus(Link::Waiting);
    link->transmit(m);
    QCOMPARE(link->TimeoutTimer().interval(), 4000);
    // Its data request has the same page and the same time-out.
    link->sendDataRequest(2);
    QCOMPARE(link->TimeoutTimer().interval(), 4000);
    QCOMPARE(link->transaction().page, 2);
    // The next request waits the plain time-out again.
    port->receive("2D0!2+1.5\r\n");
    QCoreApplication::processEvents();
    link->transmit(request(3, "3XUP!"));
    QCOMPARE(link->TimeoutTimer().interval(), 400);
    QCOMPARE(link->timings().CommandTimeout, 400);
}

void LinkTest::busFreeFollowsTransactionsAndSequences() {
    QSignalSpy free(link.get(), &Link::busFree);
    link->transmit(request(1, "1XUP!"));
    QVERIFY(link->busy());
    {
        const Link::Sequence sequence(*link);
        port->receive("1XUP!10\r\n");
        QCoreApplication::processEvents();
        QVERIFY(link->busy()); // the sequence goes on
        QCOMPARE(free.count(), 0);
    }
    QVERIFY(!link->busy());
    QCOMPARE(free.count(), 1);
    link->setMeasureAddress(1);
    link->awaitServiceRequest(1);
    QVERIFY(link->busy());
    link->setReceiveState(Framer::State::Idle); // a log stop abandons the wait
    QCOMPARE(free.count(), 2);
}

void LinkTest::noiseIsNoServiceRequest() {
    link->setMeasureAddress(0);
    link->awaitServiceRequest(5);
    port->receive(QByteArray("\x00\x7f#a", 4));
    QCoreApplication::processEvents();
    QVERIFY(port->writes.empty());
    QCOMPARE(link->ReceiveState(), Framer::State::AwaitingServiceRequest);
    port->receive("0\r\n");
    QCoreApplication::processEvents();
    clock->advanceBy(sim::milliseconds(200));
    QCOMPARE(port->writes, std::vector<QByteArray>{"0D0!"});
}

void LinkTest::serviceRequestSendsDataRequest_data() {
    QTest::addColumn<Code>("dataCode");
    QTest::newRow("level probe") << Code::Data;
    QTest::newRow("rotary encoder") << Code::RotaryData;
}

void LinkTest::serviceRequestSendsDataRequest() {
    QFETCH(Code, dataCode);
    link->setDataRequestCode(dataCode);
    link->setMeasureAddress(2);
    link->setReceiveState(Framer::State::AwaitingServiceRequest);
    // The address alone is the signal: it must not wait in the driver for its line feed.
    QVERIFY(port->characterByCharacter);
    port->receive("2\r\n");
    QCoreApplication::processEvents();
    // The pause before a data request is a timer step: the window is not blocked, the bus
    // stays held, and the service request has a comms-log line of its own.
    QVERIFY(port->writes.empty());
    QVERIFY(link->held());
    QCOMPARE(link->commsLog().lines(), QStringList{"14:03:27 <-- 2"});
    clock->advanceBy(sim::milliseconds(199));
    QVERIFY(port->writes.empty());
    clock->advanceBy(sim::milliseconds(1));
    QVERIFY(!port->characterByCharacter);
    QVERIFY(!trace->contains(QStringLiteral("sleep 200")));
    QCOMPARE(port->writes.back(), QByteArray("2D0!"));
    QCOMPARE(link->strSent_Command(), QStringLiteral("2D0!"));
    QCOMPARE(link->CommandMode(), dataCode);
    QCOMPARE(link->ReceiveState(), Framer::State::Idle); // the transmission's flush
}

void LinkTest::followUpsGoAfterTheBranchReturns() {
    // A unit set's branch asks for a reading and for a re-read of the page. Nothing is written
    // while the branch runs; the reading goes as soon as it returns, in the same exchange, and
    // the re-read goes before page 2's query, which was waiting already.
    size_t writtenInBranch = 0;
    QStringList order;
    handler->onDecode = [&](const QByteArray& line) {
        link->setReplyStatus(Link::Handled);
        if (!line.startsWith("1XUP5!"))
            return;
        link->transmit(request(1, "1M!", Code::Measure));
        link->followWith(QStringLiteral("re-read 1"), 1, [&] {
            order << QStringLiteral("re-read");
            [](Link& link) -> QCoro::Task<> {
                const Link::Sequence holds(link);
                co_await link.transact(
                    [&link] { link.transmit(request(1, "1XE!", Code::LocalGravityQuery)); });
            }(*link);
        });
        writtenInBranch = port->writes.size();
    };
    QSignalSpy ended(link.get(), &Link::exchangeEnded);
    link->transmit(request(1, "1XUP5!", Code::PressUnitsSet));
    link->transmit(request(2, "2XUP!"));
    port->receive("1XUP5!15\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(handler->lines.size(), 1, 2000);
    QCOMPARE(writtenInBranch, size_t(1));
    QCOMPARE(port->writes.back(), QByteArray("1M!"));
    QVERIFY(ended.isEmpty()); // the reading belongs to the unit set's exchange
    port->onWrite = [this](const QByteArray& w) {
        if (w == "1XE!")
            QTimer::singleShot(0, port.get(), [this] { port->receive("1XE!19.81\r\n"); });
    };
    port->receive("1M!10001\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(port->writes.size(), size_t(4), 2000);
    QCOMPARE(port->writes, (std::vector<QByteArray>{"1XUP5!", "1M!", "1XE!", "2XUP!"}));
    QCOMPARE(order, QStringList{"re-read"});
}

void LinkTest::requestsWaitForTheBus() {
    // Page 5 asks; before its reply the user asks on page 2 (twice) and page 5 again: nothing
    // breaks into the exchange, and each waiting request goes once, in order.
    link->transmit(request(5, "5XUP!"));
    link->transmit(request(2, "2XUP!"));
    link->transmit(request(2, "2XUP!"));
    link->transmit(request(5, "5XE!", Code::LocalGravityQuery));
    QCOMPARE(port->writes, std::vector<QByteArray>{"5XUP!"});
    QCOMPARE(link->queued(), 2);
    QVERIFY(link->pageHasWork(2));
    port->receive("5XUP!512\r\n");
    QTRY_COMPARE(port->writes.back(), QByteArray("2XUP!"));
    QCOMPARE(handler->pages, QList<int>{5});
    // A time-out lets the next one go.
    clock->advanceBy(sim::milliseconds(400));
    QTRY_COMPARE(port->writes.back(), QByteArray("5XE!"));
    QCOMPARE(port->writes.size(), size_t(3));
}

void LinkTest::fullQueueDropsWithABeep() {
    int beeps = 0;
    link->setBeeper([&beeps] { ++beeps; });
    QSignalSpy notice(link.get(), &Link::waitingForBus);
    std::optional<Link::Sequence> scan(std::in_place, *link);
    for (int i = 0; i < Link::kQueueLimit + 1; ++i)
        link->transmit(request(1, "1XU" + QByteArray::number(i) + "!", Code::SpecificGravityQuery));
    QCOMPARE(link->queued(), Link::kQueueLimit);
    QCOMPARE(beeps, 1);
    QVERIFY(link->commsLog().lines().last().contains("1XU16! not sent"));
    QVERIFY(port->writes.empty());
    // A request that has waited 2 s says so.
    clock->advanceBy(sim::milliseconds(Link::kWaitNoticeMs - 1));
    QCOMPARE(notice.count(), 0);
    clock->advanceBy(sim::milliseconds(1));
    QCOMPARE(notice.count(), 1);
    QCOMPARE(notice.last().first().toBool(), true);
    scan.reset();
    QTRY_COMPARE(port->writes.size(), size_t(1));
    QCOMPARE(port->writes.back(), QByteArray("1XU0!"));
}

void LinkTest::stepSeesOnlyItsOwnAnswer() {
    // A step of a sequence on page 1 gets no answer; a click on page 3 meanwhile is answered
    // at once by its sensor. The step fails, and page 3's request goes only after it.
    bool clicked = false;
    QTimer::singleShot(0, port.get(), [&] {
        link->transmit(request(3, "3XE!", Code::LocalGravityQuery));
        clicked = true;
        port->receive("3XE!3+9.8\r\n");
        QTimer::singleShot(0, port.get(), [this] { clock->runUntilIdle(); });
    });
    const Link::Sequence sequence(*link);
    QVERIFY(!testing::finish(
        link->transact([this] { link->transmit(request(1, "1XTRIMOF0.0!", Code::TrimOff)); })));
    QVERIFY(clicked);
    QCOMPARE(link->replyStatus(), qint16(Link::TimedOut));
    QVERIFY(handler->pages.isEmpty());
    QCOMPARE(port->writes, std::vector<QByteArray>{"1XTRIMOF0.0!"});
}

void LinkTest::answerDuringWriteIsKept() {
    // A fast interface answers while write() is still running; the input is flushed before
    // the request, not after it.
    port->preload("stale\r\n");
    port->onWrite = [this](const QByteArray& r) { port->receive(r + "312\r\n"); };
    link->transmit(request(3, "3XUP!"));
    QCoreApplication::processEvents();
    QCOMPARE(handler->lines, QList<QByteArray>{"3XUP!312"});
    QCOMPARE(link->commsLog().lines().mid(0, 3),
             QStringList({"14:03:27 --> 3XUP!", "14:03:27 <-- stale", "14:03:27 <-- 3XUP!312"}));
}

void LinkTest::silentEchoEndsItsLogLine() {
    link->transmit(request(3, "3XMU!", Code::RotaryUnitsQuery));
    port->receive("3XMU!");
    QCoreApplication::processEvents();
    clock->runUntilIdle();
    link->transmit(request(4, "4XMU!", Code::RotaryUnitsQuery));
    port->receive("4XMU!40\r\n");
    QCoreApplication::processEvents();
    QCOMPARE(link->commsLog().lines(), QStringList({"14:03:27 --> 3XMU!", "14:03:27 <-- 3XMU!",
                                                    "14:03:27 --> 4XMU!", "14:03:27 <-- 4XMU!40"}));
}

namespace {
QStringList wireMessages;
void recordWire(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QLatin1String(context.category) == QLatin1String("sdi12.wire"))
        wireMessages << message;
}
} // namespace

void LinkTest::wireTrafficIsLogged() {
    QLoggingCategory::setFilterRules(QStringLiteral("sdi12.wire.debug=true"));
    const QtMessageHandler previous = qInstallMessageHandler(recordWire);
    link->transmit(request(3, "3XUP!"));
    port->receive("3XUP!312\r\n");
    QCoreApplication::processEvents();
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules({});
    QCOMPARE(wireMessages.size(), 2);
    QVERIFY(wireMessages[0].endsWith(QStringLiteral("--> 3XUP!")));
    QVERIFY(wireMessages[1].endsWith(QStringLiteral("<-- 3XUP!312")));
    QVERIFY(wireMessages[0].startsWith(QStringLiteral("2026-12-06T14:03:27")));
}

void LinkTest::busQueueOrderAndHolds() {
    using sdilink::BusQueue;
    using sdilink::Transaction;
    BusQueue q;
    const auto request = [](int page, const char* bytes) {
        BusQueue::Entry e;
        e.transaction = Transaction::forPage(page, sdilink::Code::PressUnitsQuery, bytes);
        return e;
    };
    const auto sequence = [](const char* key) {
        BusQueue::Entry e;
        e.key = QString::fromLatin1(key);
        e.task = [] {};
        return e;
    };
    QCOMPARE(q.add(sequence("scan")), BusQueue::Added::Queued);
    QCOMPARE(q.add(request(2, "2XUP!")), BusQueue::Added::Queued);
    QCOMPARE(q.add(request(2, "2XUP!")), BusQueue::Added::AlreadyWaiting);
    QCOMPARE(q.add(sequence("scan")), BusQueue::Added::AlreadyWaiting);
    q.addFollowing(sequence("re-read 1"));
    q.addFollowing(sequence("re-read 2"));
    QVERIFY(q.hasRequestFor(2) && !q.hasRequestFor(-1));
    // While a question is answered, the request goes before the sequences around it.
    q.holdSequences(true);
    QCOMPARE(q.takeNext()->transaction.request, QByteArray("2XUP!"));
    QVERIFY(!q.ready() && !q.takeNext());
    q.holdSequences(false);
    QCOMPARE(q.takeFollowing()->key, QStringLiteral("re-read 1"));
    QCOMPARE(q.takeNext()->key, QStringLiteral("re-read 2"));
    QVERIFY(!q.takeFollowing());
    QCOMPARE(q.takeNext()->key, QStringLiteral("scan"));
    for (int i = 0; i < BusQueue::kLimit; ++i)
        q.add(request(i % 10, QByteArray::number(i).append('!').constData()));
    QCOMPARE(q.add(request(3, "3M!")), BusQueue::Added::Full);
}

QTEST_MAIN(LinkTest)
#include "tst_link.moc"
