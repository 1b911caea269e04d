#include "FakeSerialPort.h"

#include <algorithm>

namespace testing {

FakeSerialPort::FakeSerialPort(std::shared_ptr<QStringList> t, QObject* parent)
    : platform::SerialPort(parent), trace(std::move(t)) {}

bool FakeSerialPort::open(int portNumber) {
    close();
    trace->append(QStringLiteral("open %1").arg(portNumber));
    if (!availablePorts.empty() && std::find(availablePorts.begin(), availablePorts.end(),
                                             portNumber) == availablePorts.end()) {
        error_ = QStringLiteral("No such file or directory");
        return false;
    }
    error_.clear();
    open_ = true;
    openedPort = portNumber;
    return true;
}

void FakeSerialPort::close() {
    if (open_)
        trace->append(QStringLiteral("close"));
    open_ = false;
}

void FakeSerialPort::setBreak(bool on) {
    trace->append(on ? QStringLiteral("break on") : QStringLiteral("break off"));
}

void FakeSerialPort::write(const QByteArray& bytes) {
    trace->append(QStringLiteral("write ") + QString::fromLatin1(bytes));
    writes.push_back(bytes);
    if (onWrite)
        onWrite(bytes);
}

quint8 FakeSerialPort::readByte() {
    if (rx_.empty())
        return 0;
    const quint8 b = rx_.front();
    rx_.pop_front();
    return b;
}

void FakeSerialPort::clearInput() {
    ++inputClears;
    rx_.clear();
}

void FakeSerialPort::receive(const QByteArray& bytes) {
    preload(bytes);
    Q_EMIT dataArrived();
}

void FakeSerialPort::preload(const QByteArray& bytes) {
    for (char c : bytes)
        rx_.push_back(static_cast<quint8>(c));
}

} // namespace testing
