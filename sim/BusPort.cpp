#include "BusPort.h"

#include "Bus.h"

namespace sim {

BusPort::BusPort(Bus& bus, QObject* parent) : SerialPort(parent), bus_(bus) {
    connect(&bus_, &Bus::transmitted, this, &BusPort::arrive);
}

bool BusPort::open(int portNumber) {
    close();
    portNumber_ = portNumber;
    open_ = true;
    error_.clear();
    return true;
}

void BusPort::close() {
    open_ = false;
    input_.clear();
    readPos_ = 0;
}

void BusPort::setBreak(bool on) {
    if (open_ && on)
        bus_.lineBreak();
}

void BusPort::write(const QByteArray& bytes) {
    if (!open_)
        return;
    if (recording_)
        written_ += bytes;
    bus_.receive(bytes);
}

quint8 BusPort::readByte() {
    if (readPos_ >= input_.size())
        return 0;
    const auto byte = static_cast<quint8>(input_[readPos_++]);
    if (readPos_ == input_.size()) {
        input_.clear();
        readPos_ = 0;
    }
    return byte;
}

void BusPort::clearInput() {
    input_.clear();
    readPos_ = 0;
}

QString BusPort::deviceName() const {
    return QStringLiteral("simulated bus (COM%1)").arg(portNumber_);
}

void BusPort::arrive(const QByteArray& bytes) {
    if (!open_)
        return;
    input_ += bytes;
    emit dataArrived();
}

} // namespace sim

namespace sim {

void BusPort::unplug() {
    if (!open_)
        return;
    close();
    error_ = QStringLiteral("The device was removed.");
    reportLost();
}

} // namespace sim
