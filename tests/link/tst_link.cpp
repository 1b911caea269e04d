#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "link/Link.h"

#include <QLocale>
#include <QTest>
#include <functional>

using sdilink::Link;
using testing::FakeDialogs;
using testing::FakeSerialPort;

namespace {

// Stands in for the decoder and the family's unlock.
class RecordingHandler final : public sdilink::LinkHandler {
public:
    void Decode_SDI12(sdilink::ReceiveBuffer& buff) override {
        lines.append(buff.Data.left(buff.Count));
        if (onDecode)
            onDecode(buff);
    }
    void unlockShownPage() override { ++unlocks; }

    QList<QByteArray> lines;
    int unlocks = 0;
    std::function<void(sdilink::ReceiveBuffer&)> onDecode;
};

} // namespace

class LinkTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void init();
    void cleanup();

    void requestLeavesAsExactBytesAfterBreakAndMark();
    void closedPortShowsBoxAndStillLogs();
    void flushDiscardsWaitingInputAndResetsState();
    void replySplitOverSeveralReads();
    void commsLogEmptiesBeforeThe151stReceivedLine();
    void sentLinesAreNotLimited();
    void clearCommsEmptiesAtOnce();
    void timeoutEndsTransaction();
    void zeroTimeoutNeverFires();
    void waitForReplyGivesTrueWhenHandled();
    void lateReplyAfterTimeoutIsStillDecoded();
    void serviceRequestSendsDataRequest_data();
    void serviceRequestSendsDataRequest();
    void sequenceStartedInsideDecoderGetsItsReply();

private:
    std::shared_ptr<QStringList> trace;
    std::unique_ptr<FakeSerialPort> port;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<RecordingHandler> handler;
    std::unique_ptr<Link> link;
};

void LinkTest::init() {
    trace = std::make_shared<QStringList>();
    port = std::make_unique<FakeSerialPort>(trace);
    dialogs = std::make_unique<FakeDialogs>();
    handler = std::make_unique<RecordingHandler>();
    link = std::make_unique<Link>(
        *port, *dialogs, [this](int ms) { trace->append(QStringLiteral("sleep %1").arg(ms)); },
        [] { return QDateTime(QDate(2026, 12, 6), QTime(14, 3, 27)); });
    link->setHandler(handler.get());
    link->setBeeper([] {});
    QVERIFY(port->open(1));
    trace->clear();
}

void LinkTest::cleanup() {
    link.reset();
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

void LinkTest::closedPortShowsBoxAndStillLogs() {
    port->close();
    link->setReceiveState(3);
    link->send_TXbuff("0I!");
    QCOMPARE(dialogs->boxes.size(), 1);
    QCOMPARE(dialogs->boxes[0].title, QStringLiteral("Connection."));
    QCOMPARE(dialogs->boxes[0].text, QStringLiteral("Unable to connect to comm port."));
    QCOMPARE(dialogs->boxes[0].icon, platform::Dialogs::Icon::Exclamation);
    QVERIFY(port->writes.empty());
    QVERIFY(!link->TimeoutTimer().isActive());
    QCOMPARE(link->commsLog().lines(), QStringList{"14:03:27 --> 0I!"});
    QCOMPARE(link->ReceiveState(), quint8(0));
}

void LinkTest::flushDiscardsWaitingInputAndResetsState() {
    port->preload("0M!00011\r\n");
    link->setReceiveState(3);
    link->send_TXbuff("0M!");
    QCOMPARE(port->bytesWaiting(), 0);
    QCOMPARE(link->ReceiveState(), quint8(0));
    QTest::qWait(0);
    QVERIFY(handler->lines.isEmpty());
}

void LinkTest::replySplitOverSeveralReads() {
    link->send_TXbuff("0M!");
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
    link->setCommandTimeout(1);
    link->setReplyStatus(Link::Waiting);
    link->send_TXbuff("4XRA!");
    port->preload("4XRA!4+1"); // a reply that never ends
    link->setReceiveState(3);
    QVERIFY(!link->WaitForReply());
    QCOMPARE(link->replyStatus(), qint16(Link::TimedOut));
    QCOMPARE(handler->unlocks, 1);
    QVERIFY(!link->TimeoutTimer().isActive());
    QCOMPARE(port->bytesWaiting(), 0);
    QCOMPARE(link->ReceiveState(), quint8(0));
    QVERIFY(dialogs->boxes.isEmpty()); // time-outs are silent
}

void LinkTest::zeroTimeoutNeverFires() {
    link->setCommandTimeout(0);
    link->send_TXbuff("0M!");
    QVERIFY(!link->TimeoutTimer().isActive());
}

void LinkTest::waitForReplyGivesTrueWhenHandled() {
    handler->onDecode = [this](sdilink::ReceiveBuffer&) { link->setReplyStatus(Link::Handled); };
    link->setReplyStatus(Link::Waiting);
    link->send_TXbuff("3XUP!");
    QTimer::singleShot(0, port.get(), [this] { port->receive("3XUP!312\r\n"); });
    QVERIFY(link->WaitForReply());

    // Any status other than 1 and 2 gives false without waiting.
    link->setReplyStatus(5);
    QVERIFY(!link->WaitForReply());
}

void LinkTest::lateReplyAfterTimeoutIsStillDecoded() {
    link->setCommandTimeout(1);
    link->setReplyStatus(Link::Waiting);
    link->send_TXbuff("0XUP!");
    QVERIFY(!link->WaitForReply());
    port->receive("0XUP!00\r\n");
    QCoreApplication::processEvents();
    QCOMPARE(handler->lines, QList<QByteArray>{"0XUP!00"});
}

void LinkTest::serviceRequestSendsDataRequest_data() {
    QTest::addColumn<qint16>("dataCode");
    QTest::newRow("level probe") << qint16(12);
    QTest::newRow("rotary encoder") << qint16(117);
}

void LinkTest::serviceRequestSendsDataRequest() {
    QFETCH(qint16, dataCode);
    link->setDataRequestCode(dataCode);
    link->setMeasureAddress(2);
    link->setReceiveState(1);
    port->receive("2\r\n");
    QCoreApplication::processEvents();
    QCOMPARE(trace->first(), QStringLiteral("sleep 200"));
    QCOMPARE(port->writes.back(), QByteArray("2D0!"));
    QCOMPARE(link->strSent_Command, QStringLiteral("2D0!"));
    QCOMPARE(link->CommandMode, dataCode);
    QCOMPARE(link->ReceiveState(), quint8(0)); // the transmission's flush
}

void LinkTest::sequenceStartedInsideDecoderGetsItsReply() {
    // The decoder may start a sequence (the re-query after a unit change) that waits for
    // replies while the receive event that called it is still running.
    bool nestedResult = false;
    handler->onDecode = [&](sdilink::ReceiveBuffer& buff) {
        if (buff.Data.startsWith("1XUP!")) {
            link->setReplyStatus(Link::Waiting);
            link->send_TXbuff("1XP!");
            QTimer::singleShot(0, port.get(), [this] { port->receive("1XP!10\r\n"); });
            nestedResult = link->WaitForReply();
        } else {
            link->setReplyStatus(Link::Handled);
        }
    };
    link->send_TXbuff("1XUP5!");
    port->receive("1XUP!5\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(handler->lines.size() == 2, 2000);
    QVERIFY(nestedResult);
}

QTEST_MAIN(LinkTest)
#include "tst_link.moc"
