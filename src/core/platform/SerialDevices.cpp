#include "SerialDevices.h"

#include <QFile>
#include <QSerialPortInfo>
#include <grp.h>
#include <sys/stat.h>

namespace platform {

SerialDeviceList systemSerialDevices() {
    QList<SerialDevice> devices;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        QString description = info.description();
        if (description.isEmpty())
            description = info.manufacturer();
        devices.append({info.systemLocation(), description});
    }
    return devices;
}

QString deviceGroup(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    const struct group* g = ::getgrgid(st.st_gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString();
}

} // namespace platform
