#include "core/platform/PortMap.h"
#include "core/platform/QtSerialPort.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

using platform::PortMap;
using platform::QtSerialPort;

namespace {

// The master side of a pseudo-terminal pair; the port under test opens the slave side.
class PtyMaster {
public:
    PtyMaster() {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (fd_ >= 0 && ::grantpt(fd_) == 0 && ::unlockpt(fd_) == 0)
            slave_ = QString::fromLocal8Bit(::ptsname(fd_));
    }
    ~PtyMaster() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool ok() const { return fd_ >= 0 && !slave_.isEmpty(); }
    // The other side goes away, as a simulator that quits.
    void hangUp() {
        ::close(fd_);
        fd_ = -1;
    }
    QString slave() const { return slave_; }

    bool write(const QByteArray& bytes) {
        return ::write(fd_, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
    }
    // Reads what arrives within the time limit, up to `expected` bytes.
    QByteArray read(int expected, int timeoutMs = 2000) {
        QByteArray got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < expected && timer.elapsed() < timeoutMs) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
                char buf[256];
                const ssize_t n = ::read(fd_, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, static_cast<int>(n));
            }
        }
        return got;
    }
    // Waits until bytes written here are waiting in the driver at the slave side, without
    // letting the port under test read them (no event loop runs meanwhile).
    bool slaveHasInput(int timeoutMs = 2000) const {
        const int fd =
            ::open(QFile::encodeName(slave_).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        const bool ready = ::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN);
        ::close(fd);
        return ready;
    }

private:
    int fd_ = -1;
    QString slave_;
};

// Reads from the port, one byte at a time, until n bytes have come (or 3 s have passed).
QByteArray readBytes(platform::SerialPort& port, qsizetype n) {
    QByteArray got;
    QDeadlineTimer deadline(3000);
    while (got.size() < n && !deadline.hasExpired()) {
        while (port.bytesWaiting() > 0)
            got.append(static_cast<char>(port.readByte()));
        if (got.size() < n)
            QTest::qWait(5);
    }
    return got;
}

} // namespace

class QtSerialPortTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ptyCarriesBytesBothWays();
    void ptyIsRecognised();
    void otherSideClosedIsReportedOnce();
    void absentOrUnboundPortFailsAndStaysClosed();
    void deviceThatIsNoSerialPortFails();
    void clearInputDropsWhatArrivedBefore_data();
    void clearInputDropsWhatArrivedBefore();
    void linesWaitForTheirLineFeedUnchanged();
};

void QtSerialPortTest::ptyCarriesBytesBothWays() {
    PtyMaster master;
    QVERIFY(master.ok());
    PortMap ports;
    ports.bind(5, master.slave());
    QtSerialPort port(ports);
    QVERIFY2(port.open(5), qPrintable(port.errorString()));
    QVERIFY(port.isOpen());
    QCOMPARE(port.deviceName(), master.slave());

    // Break is ignored on a pty; it must not disturb the port.
    port.setBreak(true);
    port.setBreak(false);

    // Every byte value the 7-bit line can carry, written in one call, arrives unchanged.
    QByteArray request("3XUP12!");
    port.write(request);
    QCOMPARE(master.read(request.size()), request);

    // Bytes written at the other end raise the receive event and read back one by one.
    QSignalSpy arrived(&port, &platform::SerialPort::dataArrived);
    const QByteArray reply("3XUP!312\r\n");
    QVERIFY(master.write(reply));
    QCOMPARE(readBytes(port, reply.size()), reply);
    QVERIFY(arrived.count() >= 1);

    port.close();
    QVERIFY(!port.isOpen());
}

void QtSerialPortTest::otherSideClosedIsReportedOnce() {
    PtyMaster master;
    QVERIFY(master.ok());
    QtSerialPort port((PortMap()));
    QVERIFY2(port.openPath(master.slave()), qPrintable(port.errorString()));
    QSignalSpy lost(&port, &platform::SerialPort::lost);
    master.hangUp();
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(!port.isOpen());
    QVERIFY(!port.errorString().isEmpty());
    // Closed, it neither reports again nor keeps the event loop busy.
    QTest::qWait(200);
    QCOMPARE(lost.count(), 1);
    port.write("0!");
    QCOMPARE(port.bytesWaiting(), 0);
}

void QtSerialPortTest::ptyIsRecognised() {
    PtyMaster master;
    QVERIFY(master.ok());
    QVERIFY(QtSerialPort::isPseudoTerminal(master.slave()));
    QVERIFY(!QtSerialPort::isPseudoTerminal(QStringLiteral("/dev/null")));
    QVERIFY(!QtSerialPort::isPseudoTerminal(QStringLiteral("/nonexistent/tty")));
}

void QtSerialPortTest::absentOrUnboundPortFailsAndStaysClosed() {
    PortMap ports;
    ports.bind(3, QStringLiteral("/dev/does-not-exist-sdi12"));
    QtSerialPort port(ports);
    QVERIFY(!port.open(3));
    QVERIFY(!port.isOpen());
    QVERIFY(!port.errorString().isEmpty());
    QVERIFY(!port.open(99)); // no such port number
    QVERIFY(!port.isOpen());
    QVERIFY(!port.errorString().isEmpty());
    QCOMPARE(port.bytesWaiting(), 0);
}

void QtSerialPortTest::deviceThatIsNoSerialPortFails() {
    PortMap ports;
    ports.bind(1, QStringLiteral("/dev/null"));
    QtSerialPort port(ports);
    QVERIFY(!port.open(1));
    QVERIFY(!port.isOpen());
}

void QtSerialPortTest::clearInputDropsWhatArrivedBefore_data() {
    QTest::addColumn<bool>("readByPort"); // else the bytes are still in the driver only
    QTest::newRow("bytes the port has read") << true;
    QTest::newRow("bytes in the driver") << false;
}

void QtSerialPortTest::clearInputDropsWhatArrivedBefore() {
    QFETCH(bool, readByPort);
    PtyMaster master;
    QVERIFY(master.ok());
    PortMap ports;
    ports.bind(2, master.slave());
    QtSerialPort port(ports);
    QVERIFY2(port.open(2), qPrintable(port.errorString()));

    QVERIFY(master.write("0M!00052\r\n0+1.5+"));
    if (readByPort)
        QTRY_VERIFY_WITH_TIMEOUT(port.bytesWaiting() > 0, 3000);
    else
        QVERIFY(master.slaveHasInput());
    // A request written just before the clearing still goes out.
    port.write("0D0!");
    port.clearInput();
    QCOMPARE(port.bytesWaiting(), 0);
    QCOMPARE(master.read(4), QByteArray("0D0!"));

    // Only what the other side sends afterwards is read.
    const QByteArray reply("0D0!0+2.25\r\n");
    QVERIFY(master.write(reply));
    QCOMPARE(readBytes(port, reply.size()), reply);
}

// Received characters are handed over a line at a time, at its line feed, with every byte
// the 7-bit line can carry as it came (the driver's editing characters among them); while
// the port is asked for characters one by one, a lone character comes at once, and so does
// one that was waiting for its line feed when the port was asked.
void QtSerialPortTest::linesWaitForTheirLineFeedUnchanged() {
    PtyMaster master;
    QVERIFY(master.ok());
    QtSerialPort port((PortMap()));
    QVERIFY2(port.openPath(master.slave()), qPrintable(port.errorString()));

    QByteArray line;
    for (int b = 0; b < 0x80; ++b)
        if (b != '\n')
            line.append(static_cast<char>(b));
    QVERIFY(master.write(line));
    QVERIFY(!master.slaveHasInput(50));
    QVERIFY(master.write("\n"));
    QCOMPARE(readBytes(port, line.size() + 1), line + '\n');

    port.setCharacterByCharacter(true);
    QVERIFY(master.write("7"));
    QCOMPARE(readBytes(port, 1), QByteArray("7"));
    port.setCharacterByCharacter(false);
    QVERIFY(master.write("0+1.5\r"));
    QVERIFY(!master.slaveHasInput(50));
    port.setCharacterByCharacter(true);
    QCOMPARE(readBytes(port, 6), QByteArray("0+1.5\r"));
    port.setCharacterByCharacter(false);
}

QTEST_MAIN(QtSerialPortTest)
#include "tst_qtserialport.moc"
