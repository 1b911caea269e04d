#include "core/link/Framer.h"

#include <QRandomGenerator>
#include <QTest>

using sdilink::Framer;

namespace {

struct Fed {
    QList<QByteArray> lines;
    QList<QByteArray> logs;
    int serviceRequests = 0;
};

Fed feedAll(Framer& framer, const QByteArray& bytes) {
    Fed fed;
    for (char c : bytes) {
        const Framer::Step step = framer.feed(static_cast<quint8>(c));
        if (step.logLine)
            fed.logs.append(framer.logText());
        if (step.serviceRequest)
            ++fed.serviceRequests;
        if (step.lineComplete)
            fed.lines.append(framer.buffer().Data.left(framer.buffer().Count));
    }
    return fed;
}

} // namespace

class FramerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void framesLines_data();
    void framesLines();
    void completeLineFillsBuffer();
    void serviceRequest_data();
    void serviceRequest();
    void overlongLineIsDropped();
    void overlongLogTextIsCut();
    void badInputNeverCrashes();
};

void FramerTest::framesLines_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QList<QByteArray>>("logs");

    using L = QList<QByteArray>;
    QTest::newRow("measurement reply")
        << QByteArray("0M!00011\r\n") << L{"0M!00011"} << L{"0M!00011"};
    QTest::newRow("address query") << QByteArray("?!3\r\n") << L{"?!3"} << L{"?!3"};
    QTest::newRow("letters before the address are dropped")
        << QByteArray("xyz0M!0\r\n") << L{"0M!0"} << L{"xyz0M!0"};
    QTest::newRow("a line starting with a letter is not framed")
        << QByteArray("ABC\r\n") << L{} << L{"ABC"};
    QTest::newRow("NUL and CR never reach the log")
        << QByteArray("0I!\0ab\r\n", 8) << L{QByteArray("0I!\0ab", 6)} << L{"0I!ab"};
    QTest::newRow("bytes of 0x80 and above before the address") << QByteArray("\x80\xff"
                                                                              "0M!\r\n")
                                                                << L{"0M!"}
                                                                << L{"\x80\xff"
                                                                     "0M!"};
    QTest::newRow("stray LF logs an empty line")
        << QByteArray("\n1XP!10\r\n") << L{"1XP!10"} << L{"", "1XP!10"};
    QTest::newRow("two lines in one burst") << QByteArray("2XUP!23\r\n2XUT!20\r\n")
                                            << L{"2XUP!23", "2XUT!20"} << L{"2XUP!23", "2XUT!20"};
    QTest::newRow("no CR: nothing complete") << QByteArray("3XRA!3+1.5") << L{} << L{};
    QTest::newRow("the byte after CR completes the line, whatever it is")
        << QByteArray("4I!\rX") << L{"4I!"} << L{};
}

void FramerTest::framesLines() {
    QFETCH(QByteArray, input);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QList<QByteArray>, logs);
    Framer framer;
    const Fed fed = feedAll(framer, input);
    QCOMPARE(fed.lines, lines);
    QCOMPARE(fed.logs, logs);
    QCOMPARE(fed.serviceRequests, 0);
}

void FramerTest::completeLineFillsBuffer() {
    Framer framer;
    feedAll(framer, "0M!00011\r\n");
    QCOMPARE(framer.buffer().Data, QByteArray("0M!00011"));
    QCOMPARE(framer.buffer().Count, qint16(8));
    QVERIFY(framer.buffer().Complete);
    QCOMPARE(framer.state(), Framer::State::Idle);
}

void FramerTest::serviceRequest_data() {
    QTest::addColumn<int>("measureAddress");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("requests");
    QTest::addColumn<Framer::State>("stateAfter");

    const Framer::State awaiting = Framer::State::AwaitingServiceRequest;
    QTest::newRow("own address") << 2 << QByteArray("2") << 1 << awaiting;
    QTest::newRow("other address") << 2 << QByteArray("3") << 0 << awaiting;
    QTest::newRow("CR ends the request")
        << 2 << QByteArray("2\r") << 1 << Framer::State::AfterServiceRequest;
    QTest::newRow("then LF returns to idle")
        << 2 << QByteArray("2\r\n") << 1 << Framer::State::Idle;
    // Only the measured sensor's address character counts; noise is no request.
    QTest::newRow("letter for address 0") << 0 << QByteArray("A") << 0 << awaiting;
    QTest::newRow("digit 5 for address 0") << 0 << QByteArray("5") << 0 << awaiting;
    QTest::newRow("NUL for address 0") << 0 << QByteArray(1, '\0') << 0 << awaiting;
    QTest::newRow("0 for address 0") << 0 << QByteArray("0") << 1 << awaiting;
}

void FramerTest::serviceRequest() {
    QFETCH(int, measureAddress);
    QFETCH(QByteArray, input);
    QFETCH(int, requests);
    QFETCH(Framer::State, stateAfter);
    Framer framer;
    framer.setMeasureAddress(measureAddress);
    framer.setState(Framer::State::AwaitingServiceRequest);
    const Fed fed = feedAll(framer, input);
    QCOMPARE(fed.serviceRequests, requests);
    QCOMPARE(framer.state(), stateAfter);
    QVERIFY(fed.lines.isEmpty());
}

void FramerTest::overlongLineIsDropped() {
    Framer framer;
    // The long line is dropped; its tail is noise in the idle state; the next address
    // character starts a fresh line.
    const QByteArray input = "0" + QByteArray(Framer::kMaxLine + 100, 'x') + "5M!\r\n";
    const Fed fed = feedAll(framer, input);
    QCOMPARE(fed.lines, QList<QByteArray>{"5M!"});

    // A line of exactly the limit is still framed.
    const QByteArray longest = "1" + QByteArray(Framer::kMaxLine - 1, 'y');
    QCOMPARE(feedAll(framer, longest + "\r\n").lines, QList<QByteArray>{longest});
    // One byte more is not.
    QVERIFY(feedAll(framer, longest + "y\r\n").lines.isEmpty());
}

void FramerTest::overlongLogTextIsCut() {
    Framer framer;
    const Fed fed = feedAll(framer, QByteArray(5000, 'z') + "\n");
    QCOMPARE(fed.logs.size(), 1);
    QCOMPARE(fed.logs[0], QByteArray(Framer::kMaxLogText, 'z') + "...");
    QVERIFY(framer.buffer().LogText.isEmpty());
}

void FramerTest::badInputNeverCrashes() {
    Framer framer;
    QRandomGenerator rng(12345);
    for (int state = 0; state <= 4; ++state) {
        framer.setState(static_cast<Framer::State>(state));
        for (int i = 0; i < 100000; ++i)
            framer.feed(static_cast<quint8>(rng.bounded(256)));
        QVERIFY(framer.buffer().Count <= Framer::kMaxLine);
        QVERIFY(framer.buffer().LogText.size() <= Framer::kMaxLogText);
    }
    // 100 KB without CR or LF.
    framer.setState(Framer::State::Idle);
    const Fed fed = feedAll(framer, "7" + QByteArray(100 * 1024, 'q'));
    QVERIFY(fed.lines.isEmpty());
    QVERIFY(framer.buffer().Count <= Framer::kMaxLine);
}

QTEST_APPLESS_MAIN(FramerTest)
#include "tst_framer.moc"
