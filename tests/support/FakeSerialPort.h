#pragma once

#include "core/platform/SerialPort.h"

#include <QByteArray>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace testing {

// A serial port in memory. Everything done to it is appended to a shared event trace
// ("open 3", "break on", "sleep 20", "write 0M!"), so a test can check the order of
// break, mark and write. Bytes "received" are queued with receive() and announced with
// dataArrived, as a real port does after the bytes have arrived.
class FakeSerialPort final : public platform::SerialPort {
    Q_OBJECT
public:
    explicit FakeSerialPort(std::shared_ptr<QStringList> trace = std::make_shared<QStringList>(),
                            QObject* parent = nullptr);

    bool open(int portNumber) override;
    void close() override;
    bool isOpen() const override { return open_; }
    void setBreak(bool on) override;
    void write(const QByteArray& bytes) override;
    int bytesWaiting() const override { return static_cast<int>(rx_.size()); }
    quint8 readByte() override;
    // Drops the queued bytes and counts the call; it leaves no line in the trace.
    void clearInput() override;
    QString errorString() const override { return error_; }
    QString deviceName() const override { return QStringLiteral("/dev/fake"); }
    void setCharacterByCharacter(bool on) override { characterByCharacter = on; }

    // Queues bytes as received and raises the receive event.
    void receive(const QByteArray& bytes);
    // Queues bytes without raising the event (bytes already waiting before a flush).
    void preload(const QByteArray& bytes);

    // Called with every write, after it is recorded (a scripted sensor answers from here).
    std::function<void(const QByteArray&)> onWrite;
    // Ports that open() accepts; empty means every port.
    std::vector<int> availablePorts;
    std::vector<QByteArray> writes;
    std::shared_ptr<QStringList> trace;
    int openedPort = 0;
    int inputClears = 0;
    bool characterByCharacter = false; // as last asked

private:
    std::deque<quint8> rx_;
    bool open_ = false;
    QString error_;
};

} // namespace testing
