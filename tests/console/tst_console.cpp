#include "../levelprobe/LevelFixture.h"
#include "gui/console/UserCommand.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using Button = platform::Dialogs::Button;

namespace {

// The console on the level-probe fixture's link, its hooks recorded. The scripted bus
// answers a typed request with `answer` 10 ms later (nothing when empty).
struct Console : LevelFixture {
    Console() {
        clock.setAutoAdvance(true);
        window = std::make_unique<console::UserCommand>(
            *link, dialogs,
            console::UserCommand::Hooks{[this](bool on) { hooks << (on ? "enable" : "disable"); },
                                        [this] { hooks << "timing"; },
                                        [this] { hooks << "rescan"; }, [this] { return logging; }});
        decoder->setUserCommandSink([this](const QString& line) { window->showReply(line); });
        port->onWrite = [this](const QByteArray& r) {
            if (!answer.isEmpty())
                clock.after(sim::milliseconds(10), port.get(),
                            [this, line = r + answer + "\r\n"] { port->receive(line); });
        };
    }
    // Types a command, sends it and waits for its reply or time-out.
    void type(const QString& text) {
        window->UserText->setText(text);
        window->SubmitBut->click();
        QTRY_VERIFY(!link->busy());
    }

    std::unique_ptr<console::UserCommand> window;
    QStringList hooks;
    QByteArray answer;
    bool logging = false;
};

} // namespace

class ConsoleTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sendsTheTypedBytesUnchanged();
    void closingAsksForARescanOnlyAfterReplies_data();
    void closingAsksForARescanOnlyAfterReplies();
    void serviceModeOpensTheTimingWindowAndEndsTheClaim();
    void refusalsAndHistory();
    void onlyPrintableAsciiIsSent_data();
    void onlyPrintableAsciiIsSent();
    void longCommandIsTimedFromItsLastByte();
};

void ConsoleTest::sendsTheTypedBytesUnchanged() {
    Console c;
    c.window->mnuUserCommand_Click();
    QCOMPARE(c.hooks, QStringList{"disable"});
    QVERIFY(c.window->isVisible());
    QVERIFY(c.window->isWindow());
    c.answer = "7";
    c.trace->clear();
    c.type("?!");
    QCOMPARE(*c.trace, (QStringList{"break on", "sleep 20", "break off", "sleep 15", "write ?!"}));
    QCOMPARE(c.window->ReceivedText->text(), QStringLiteral("?!7"));
    QVERIFY(c.dialogs.boxes.isEmpty()); // the decoder did not take the reply
    // The reserved text in lower case is a command like any other.
    c.type("servicemode");
    QCOMPARE(c.port->writes.back(), QByteArray("servicemode"));
    QVERIFY(c.hooks.filter("timing").isEmpty());
    QCOMPARE(c.window->UserCommandCount, 2);
}

void ConsoleTest::closingAsksForARescanOnlyAfterReplies_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("questions");
    QTest::newRow("two replies") << QByteArray("0+1.5") << 1;
    QTest::newRow("both timed out") << QByteArray() << 0;
}

void ConsoleTest::closingAsksForARescanOnlyAfterReplies() {
    QFETCH(QByteArray, answer);
    QFETCH(int, questions);
    Console c;
    c.window->mnuUserCommand_Click();
    c.answer = answer;
    c.type("0M!");
    c.type("0D0!");
    QCOMPARE(c.window->UserCommandCount, 2 * questions);
    c.dialogs.answers << Button::Yes;
    c.window->close();
    QCOMPARE(c.dialogs.boxes.size(), questions);
    QCOMPARE(c.hooks, (QStringList{"disable", "enable"} +
                       (questions ? QStringList{"rescan"} : QStringList{})));
}

void ConsoleTest::serviceModeOpensTheTimingWindowAndEndsTheClaim() {
    Console c;
    c.window->mnuUserCommand_Click();
    c.answer = "3";
    c.type("3!");
    QVERIFY(c.link->transaction().typed);
    c.port->writes.clear();
    c.window->UserText->setText("SERVICEMODE");
    c.window->SubmitBut->click();
    QVERIFY(c.port->writes.empty());
    QVERIFY(!c.window->isVisible());
    QCOMPARE(c.hooks, (QStringList{"disable", "enable", "timing"}));
    QVERIFY(c.dialogs.boxes.isEmpty());
    // The main window decodes again.
    c.transact(3, sdilink::Code::SerialNumberQuery, "3XSN!", "3XSN!331407");
    QCOMPARE(c.column(3, 1), QStringLiteral("31407"));
}

void ConsoleTest::refusalsAndHistory() {
    Console c;
    c.logging = true;
    c.window->mnuUserCommand_Click();
    QVERIFY(!c.window->isVisible());
    QCOMPARE(c.dialogs.boxes.size(), 1);
    c.logging = false;
    c.window->mnuUserCommand_Click();
    c.type(QStringLiteral("0XF\u00e9!"));
    QVERIFY(c.port->writes.empty());
    QCOMPARE(c.dialogs.boxes.size(), 2);
    c.type("");
    QVERIFY(c.port->writes.empty());
    // At most 80 characters (about 0.7 s on the wire): longer text is refused whole.
    c.type('0' + QString(79, 'X') + '!');
    QVERIFY(c.port->writes.empty());
    QCOMPARE(c.dialogs.boxes.size(), 3);
    QVERIFY(c.dialogs.boxes.back().text.contains("at most 80 characters"));
    // Enter does nothing while Send is disabled (a request is out).
    c.window->UserText->setText("0I!");
    c.window->SubmitBut->click();
    c.window->UserText->setText("1I!");
    QTest::keyClick(c.window->UserText, Qt::Key_Return);
    QCOMPARE(c.port->writes, std::vector<QByteArray>{"0I!"});
    QTRY_VERIFY(!c.link->busy());
    c.port->writes.clear();

    c.type("0XE!");
    c.type("1I!");
    QCOMPARE(c.window->history(), (QStringList{"0I!", "0XE!", "1I!"}));
    QLineEdit* box = c.window->UserText;
    QTest::keyClick(box, Qt::Key_Up);
    QCOMPARE(box->text(), QStringLiteral("1I!"));
    QTest::keyClick(box, Qt::Key_Up);
    QTest::keyClick(box, Qt::Key_Up);
    QTest::keyClick(box, Qt::Key_Up);
    QCOMPARE(box->text(), QStringLiteral("0I!"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->text(), QString());
}

void ConsoleTest::onlyPrintableAsciiIsSent_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("sent");
    QTest::newRow("space and tilde") << QStringLiteral("0 ~!") << true;
    QTest::newRow("unit separator") << QStringLiteral("0\x1f!") << false;
    QTest::newRow("delete") << QStringLiteral("0\x7f!") << false;
    QTest::newRow("no-break space") << QStringLiteral("0\u00a0!") << false;
}

void ConsoleTest::onlyPrintableAsciiIsSent() {
    QFETCH(QString, text);
    QFETCH(bool, sent);
    Console c;
    c.window->mnuUserCommand_Click();
    c.type(text);
    QCOMPARE(c.port->writes.size(), sent ? 1u : 0u);
    QCOMPARE(c.dialogs.boxes.size(), sent ? 0 : 1);
}

void ConsoleTest::longCommandIsTimedFromItsLastByte() {
    Console c;
    c.window->mnuUserCommand_Click();
    // 60 bytes take 500 ms at 1200 baud; the reply comes 300 ms after the last of them,
    // inside the 400 ms time-out that starts then.
    const QByteArray command = '0' + QByteArray(58, 'X');
    c.port->onWrite = [&c](const QByteArray& r) {
        c.clock.after(sim::milliseconds(800), c.port.get(),
                      [&c, line = r + "0" + "\r\n"] { c.port->receive(line); });
    };
    c.type(QString::fromLatin1(command + "!"));
    QCOMPARE(c.window->ReceivedText->text(), QString::fromLatin1(command + "!0"));
}

QTEST_MAIN(ConsoleTest)
#include "tst_console.moc"
