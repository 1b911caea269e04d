#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "LinkSupport.h"
#include "core/link/Link.h"
#include "core/protocol/Decoder.h"
#include "core/protocol/ReplyLine.h"

#include <QTest>

using sdilink::Code;
using sdilink::Link;

namespace {

// A code no family has a branch for.
constexpr Code kUnknown = static_cast<Code>(99);

// Records what the decoder hands to the family.
class RecordingFamily final : public protocol::Family {
public:
    QString serialNumber(int) const override { return {}; }
    bool isRotary() const override { return false; }
    Code dataRequestCode() const override { return Code::Data; }
    Code measureCode() const override { return Code::Measure; }
    void lockPage(int) override {}
    void unlockPage(int page) override { unlocked << page; }
    bool decodeReply(const sdilink::Transaction& t, const protocol::ReplyLine& line) override {
        calls << QStringLiteral("%1|%2|%3|%4")
                     .arg(t.page)
                     .arg(sdilink::number(t.code))
                     .arg(line.text())
                     .arg(line.p());
        return t.code != kUnknown;
    }
    QStringList calls;
    QList<int> unlocked;
};

} // namespace

class DecoderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void dispatch_data();
    void dispatch();
    void unknownCodeReportsAndUnlocks();
    void userCommandGetsEveryReply();

private:
    void decode(const QByteArray& line, int page = 3, Code code = Code::PressUnitsQuery,
                bool typed = false);

    std::unique_ptr<testing::FakeSerialPort> port;
    testing::FakeDialogs dialogs;
    std::unique_ptr<Link> link;
    RecordingFamily family;
    std::unique_ptr<protocol::Decoder> decoder;
};

void DecoderTest::init() {
    port = std::make_unique<testing::FakeSerialPort>();
    dialogs = {};
    family = {};
    link = std::make_unique<Link>(*port, testing::instantPause(), [] { return QDateTime(); });
    link->setBeeper([] {});
    decoder = std::make_unique<protocol::Decoder>(*link, family, testing::boxFor(dialogs));
}

void DecoderTest::decode(const QByteArray& line, int page, Code code, bool typed) {
    sdilink::Transaction t;
    t.page = page;
    t.code = code;
    t.typed = typed;
    decoder->Decode_SDI12(t, line);
}

void DecoderTest::dispatch_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("call"); // empty: the line is ignored

    // The branch works on the transaction's page, whichever page is shown.
    QTest::newRow("page 3") << 3 << QByteArray("3XUP!312") << "3|2|3XUP!312|5";
    QTest::newRow("page 7") << 7 << QByteArray("7XUP!712") << "7|2|7XUP!712|5";
    QTest::newRow("p is the first '!'") << 0 << QByteArray("?!3!") << "0|2|?!3!|2";
    QTest::newRow("no '!'") << 3 << QByteArray("3XUP") << "";
}

void DecoderTest::dispatch() {
    QFETCH(int, page);
    QFETCH(QByteArray, line);
    QFETCH(QString, call);
    decode(line, page);
    QCOMPARE(family.calls, call.isEmpty() ? QStringList{} : QStringList{call});
    QVERIFY(dialogs.boxes.isEmpty());
    QCOMPARE(link->replyStatus(), qint16(Link::Waiting));
}

void DecoderTest::unknownCodeReportsAndUnlocks() {
    decode("3XZZ!3", 3, kUnknown);
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes[0].title, QStringLiteral("SDI12 Message Error."));
    QCOMPARE(dialogs.boxes[0].text, QStringLiteral("Command response not found."));
    QCOMPARE(dialogs.boxes[0].icon, platform::Dialogs::Icon::Exclamation);
    QCOMPARE(family.unlocked, QList<int>{3});
}

void DecoderTest::userCommandGetsEveryReply() {
    QStringList shown;
    int beeps = 0;
    link->setBeeper([&] { ++beeps; });
    decoder->setUserCommandSink([&](const QString& line) { shown << line; });
    decode("5I!13ACME", 3, Code::PressUnitsQuery, true); // not the request's echo: still shown
    QCOMPARE(shown, QStringList{"5I!13ACME"});
    QCOMPARE(beeps, 1);
    QVERIFY(family.calls.isEmpty());
    QCOMPARE(link->replyStatus(), qint16(Link::Waiting));
}

QTEST_MAIN(DecoderTest)
#include "tst_decoder.moc"
