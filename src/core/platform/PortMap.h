#pragma once

#include "core/platform/SerialDevices.h"

#include <QString>
#include <QStringList>
#include <array>

namespace platform {

// Which device path stands behind each port number COM1-COM16 for this run.
//
// Without an explicit binding a number has its default device, fixed by the device's kind
// and the kernel's number for it, so plugging in another device never renumbers one that is
// already there:
//
//   COM1-COM4    /dev/ttyS0-ttyS3      (built-in and PCI serial ports)
//   COM5-COM12   /dev/ttyUSB0-ttyUSB7  (USB serial adapters: FTDI, CP210x, CH340, PL2303)
//   COM13-COM16  /dev/ttyACM0-ttyACM3  (USB CDC-ACM modems and interfaces)
//
// An explicit binding (bind(), from --com N=PATH) takes the number from its default device,
// and the device it names (also through a symlink such as /dev/serial/by-id/...) loses its
// default number, so one device never appears under two numbers.
class PortMap {
public:
    static constexpr int kPorts = 16;

    explicit PortMap(DeviceSource devices = systemSerialDevices);

    // Binds port n (1-16) to a device path; an empty path drops the explicit binding and the
    // default applies again. Out-of-range numbers are ignored.
    void bind(int portNumber, const QString& path);
    // The device path of port n: its explicit binding, else its default device unless that
    // device is bound explicitly to another number; empty when there is none.
    QString path(int portNumber) const;
    // The explicit binding of port n, or an empty string.
    QString boundPath(int portNumber) const;

    // The default rule alone: the device of port n (empty out of range), and the number of a
    // device path (0 for a device the rule does not number).
    static QString defaultPath(int portNumber);
    static int defaultPortNumber(const QString& devicePath);

    // The port number under which a device is reached this run, or 0.
    int portNumberOf(const QString& devicePath) const;

    // The serial devices as display names, in the order the system lists them, each with
    // its Linux path and, when it has a port number, "(COMn)" at the end:
    // "FT232R USB UART /dev/ttyUSB0 (COM5)". Explicitly bound paths the system does not list
    // (a pseudo-terminal, say) follow in port order. complete is false when the system's
    // list could not be obtained; names then holds only the explicit bindings.
    struct DeviceNames {
        QStringList names;
        bool complete = true;
    };
    DeviceNames displayNames() const;

private:
    DeviceSource devices_;
    std::array<QString, kPorts> bound_;
};

} // namespace platform
