#include "PortMap.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace platform {

namespace {

struct Kind {
    const char* prefix; // device path without the number
    int firstPort;
    int count;
};

constexpr std::array<Kind, 3> kKinds{{
    {"/dev/ttyS", 1, 4},
    {"/dev/ttyUSB", 5, 8},
    {"/dev/ttyACM", 13, 4},
}};

// Two paths name the same device when they resolve to the same file; a path that does not
// exist (yet) is compared as written.
QString identity(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

QString label(const QString& description) {
    return description.trimmed().isEmpty() ? QStringLiteral("Serial Port") : description.trimmed();
}

} // namespace

PortMap::PortMap(DeviceSource devices) : devices_(std::move(devices)) {}

void PortMap::bind(int portNumber, const QString& path) {
    if (portNumber >= 1 && portNumber <= kPorts)
        bound_[static_cast<size_t>(portNumber - 1)] = path;
}

QString PortMap::boundPath(int portNumber) const {
    if (portNumber < 1 || portNumber > kPorts)
        return {};
    return bound_[static_cast<size_t>(portNumber - 1)];
}

QString PortMap::path(int portNumber) const {
    if (portNumber < 1 || portNumber > kPorts)
        return {};
    const QString bound = boundPath(portNumber);
    if (!bound.isEmpty())
        return bound;
    const QString device = defaultPath(portNumber);
    const QString id = identity(device);
    for (const QString& other : bound_)
        if (!other.isEmpty() && identity(other) == id)
            return {};
    return device;
}

QString PortMap::defaultPath(int portNumber) {
    for (const Kind& kind : kKinds)
        if (portNumber >= kind.firstPort && portNumber < kind.firstPort + kind.count)
            return QLatin1String(kind.prefix) + QString::number(portNumber - kind.firstPort);
    return {};
}

int PortMap::defaultPortNumber(const QString& devicePath) {
    static const QRegularExpression pattern(QStringLiteral("^(/dev/tty(?:S|USB|ACM))(\\d+)$"));
    const QRegularExpressionMatch m = pattern.match(devicePath);
    if (!m.hasMatch())
        return 0;
    bool ok = false;
    const int index = m.captured(2).toInt(&ok);
    // "ttyUSB01" is not a kernel name; only plain numbers count.
    if (!ok || m.captured(2) != QString::number(index))
        return 0;
    for (const Kind& kind : kKinds)
        if (m.captured(1) == QLatin1String(kind.prefix) && index < kind.count)
            return kind.firstPort + index;
    return 0;
}

int PortMap::portNumberOf(const QString& devicePath) const {
    const QString id = identity(devicePath);
    for (int n = 1; n <= kPorts; ++n) {
        const QString bound = boundPath(n);
        if (!bound.isEmpty() && identity(bound) == id)
            return n;
    }
    const int n = defaultPortNumber(id);
    return n != 0 && boundPath(n).isEmpty() ? n : 0;
}

PortMap::DeviceNames PortMap::displayNames() const {
    DeviceNames result;
    const SerialDeviceList devices = devices_ ? devices_() : SerialDeviceList{};
    result.complete = devices.has_value();
    std::array<bool, kPorts> shown{};
    if (devices) {
        for (const SerialDevice& device : *devices) {
            QString name = label(device.description) + QLatin1Char(' ') + device.path;
            if (const int n = portNumberOf(device.path); n != 0) {
                name += QStringLiteral(" (COM%1)").arg(n);
                shown[static_cast<size_t>(n - 1)] = true;
            }
            result.names.append(name);
        }
    }
    for (int n = 1; n <= kPorts; ++n) {
        const QString bound = boundPath(n);
        if (!bound.isEmpty() && !shown[static_cast<size_t>(n - 1)])
            result.names.append(QStringLiteral("Serial Port %1 (COM%2)").arg(bound).arg(n));
    }
    return result;
}

} // namespace platform
