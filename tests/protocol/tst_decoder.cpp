#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "link/Link.h"
#include "protocol/Decoder.h"
#include "protocol/ReplyLine.h"

#include <QTest>

using sdilink::Link;

namespace {

// Records what the decoder hands to the family.
class RecordingFamily final : public protocol::Family {
public:
    bool isRotary() const override { return false; }
    qint16 dataRequestCode() const override { return 12; }
    void lockPage(int) override {}
    void unlockPage(int page) override { unlocked << page; }
    bool decodeReply(int tab, qint16 code, const protocol::ReplyLine& line) override {
        calls << QStringLiteral("%1|%2|%3|%4").arg(tab).arg(code).arg(line.text()).arg(line.p());
        return code != 99;
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
    void timeoutUnlocksTheShownTab();

private:
    void decode(const QByteArray& line);

    std::unique_ptr<testing::FakeSerialPort> port;
    testing::FakeDialogs dialogs;
    std::unique_ptr<Link> link;
    RecordingFamily family;
    int currentTab = 3;
    std::unique_ptr<protocol::Decoder> decoder;
};

void DecoderTest::init() {
    port = std::make_unique<testing::FakeSerialPort>();
    dialogs = {};
    family = {};
    link = std::make_unique<Link>(
        *port, dialogs, [](int) {}, [] { return QDateTime(); });
    link->setBeeper([] {});
    decoder =
        std::make_unique<protocol::Decoder>(*link, family, dialogs, [this] { return currentTab; });
}

void DecoderTest::decode(const QByteArray& line) {
    sdilink::ReceiveBuffer buff;
    buff.Data = line;
    buff.Count = static_cast<qint16>(line.size());
    buff.Complete = true;
    decoder->Decode_SDI12(buff);
}

void DecoderTest::dispatch_data() {
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("call"); // empty: the line is ignored

    QTest::newRow("echo found") << "3XUP!" << QByteArray("3XUP!312") << "3|2|3XUP!312|5";
    QTest::newRow("another request's echo") << "3XUP!" << QByteArray("3XUT!30") << "";
    QTest::newRow("echo anywhere in the line")
        << "3XUP!" << QByteArray("x3XUP!312") << "3|2|x3XUP!312|6";
    QTest::newRow("p is the first '!'") << "?!" << QByteArray("?!3!") << "3|2|?!3!|2";
    QTest::newRow("nothing sent yet") << "" << QByteArray("0M!00011") << "";
}

void DecoderTest::dispatch() {
    QFETCH(QString, sent);
    QFETCH(QByteArray, line);
    QFETCH(QString, call);
    link->strSent_Command = sent;
    link->CommandMode = 2;
    decode(line);
    QCOMPARE(family.calls, call.isEmpty() ? QStringList{} : QStringList{call});
    QVERIFY(dialogs.boxes.isEmpty());
    QCOMPARE(link->replyStatus(), qint16(Link::Waiting));
}

void DecoderTest::unknownCodeReportsAndUnlocks() {
    link->strSent_Command = "3XZZ!";
    link->CommandMode = 99;
    decode("3XZZ!3");
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
    link->UserCommandFlag = true;
    link->strSent_Command = "0XUP!";
    link->CommandMode = 2;
    link->BeepOnReply = true;
    decode("5I!13ACME"); // not the request's echo: still shown
    QCOMPARE(shown, QStringList{"5I!13ACME"});
    QCOMPARE(beeps, 1);
    QVERIFY(family.calls.isEmpty());
    QCOMPARE(link->replyStatus(), qint16(Link::Waiting));
}

void DecoderTest::timeoutUnlocksTheShownTab() {
    currentTab = 6;
    decoder->unlockShownPage();
    QCOMPARE(family.unlocked, QList<int>{6});
}

QTEST_MAIN(DecoderTest)
#include "tst_decoder.moc"
