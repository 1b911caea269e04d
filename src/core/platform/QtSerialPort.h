#pragma once

#include "SerialPort.h"

#include <QSerialPort>

namespace platform {

class PortMap;

// The serial port on Qt Serial Port. Port numbers are looked up in a PortMap.
//
// A pseudo-terminal cannot hold 7 data bits or parity, and it ignores break; on a pty those
// refusals are accepted so the tool can talk to a simulated bus. On any other device a line
// setting the driver refuses makes open() fail.
class QtSerialPort final : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(const PortMap& ports, QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool open(int portNumber) override;
    // Opens a device by path; used by open(n) and by tests.
    bool openPath(const QString& path);
    void close() override;
    bool isOpen() const override;
    void setBreak(bool on) override;
    void write(const QByteArray& bytes) override;
    int bytesWaiting() const override;
    quint8 readByte() override;
    void clearInput() override;
    void setCharacterByCharacter(bool on) override;
    QString errorString() const override { return error_; }
    QString deviceName() const override { return device_; }

    // The reason for a refused opening with the fix: membership of the device's group.
    static QString permissionAdvice(const QString& path, const QString& reason);
    // True when the device is a pseudo-terminal (a Unix98 pty slave).
    static bool isPseudoTerminal(const QString& path);

private:
    bool applyLineSettings(bool pty);
    // Puts the driver in line mode, or out of it; false when it refuses.
    bool setLineMode(bool on);
    void deviceError(QSerialPort::SerialPortError error);

    const PortMap& ports_;
    QSerialPort port_;
    QString device_;
    QString error_;
    bool pty_ = false;
    bool characterByCharacter_ = false; // as asked
    bool lineMode_ = false;             // as the driver holds it
};

} // namespace platform
