#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace platform {

// One serial device of the machine, as the system lists it.
struct SerialDevice {
    QString path;        // e.g. /dev/ttyUSB0
    QString description; // e.g. "FT232R USB UART"; may be empty
};

// The machine's serial devices in the order the system lists them; no value when the list
// cannot be obtained at all (which is not the same as an empty list).
using SerialDeviceList = std::optional<QList<SerialDevice>>;
using DeviceSource = std::function<SerialDeviceList()>;

// The serial devices Qt Serial Port finds (udev, else sysfs, else /dev).
SerialDeviceList systemSerialDevices();

// The name of the group that owns a device node, or an empty string when it cannot be told.
QString deviceGroup(const QString& path);

} // namespace platform
