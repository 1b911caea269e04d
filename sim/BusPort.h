#pragma once

#include "core/platform/SerialPort.h"

#include <QByteArray>

namespace sim {

class Bus;

// The tool's serial port wired straight to a simulated bus in the same process: no device,
// no pty. Every port number opens. A write hands the request to the bus and returns; the
// echo, the reply and any service request arrive later from the event loop, each piece
// announced by dataArrived(). A break on the port is a break on the bus.
class BusPort final : public platform::SerialPort {
    Q_OBJECT
public:
    explicit BusPort(Bus& bus, QObject* parent = nullptr);

    bool open(int portNumber) override;
    void close() override;
    bool isOpen() const override { return open_; }
    void setBreak(bool on) override;
    void write(const QByteArray& bytes) override;
    int bytesWaiting() const override { return static_cast<int>(input_.size() - readPos_); }
    quint8 readByte() override;
    void clearInput() override;
    QString errorString() const override { return error_; }
    QString deviceName() const override;

    // The interface is pulled out: the port closes and reports itself lost.
    void unplug();

    // Everything written since the port was made, for tests. A long run turns the record off,
    // as it grows with every request.
    const QByteArray& written() const { return written_; }
    void setRecording(bool on) { recording_ = on; }

private:
    void arrive(const QByteArray& bytes);

    Bus& bus_;
    bool open_ = false;
    int portNumber_ = 0;
    QByteArray input_;
    qsizetype readPos_ = 0;
    QByteArray written_;
    QString error_;
    bool recording_ = true;
};

} // namespace sim
