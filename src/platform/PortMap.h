#pragma once

#include <QString>
#include <array>

namespace platform {

// Which device path stands behind each port number COM1-COM16 for this run.
class PortMap {
public:
    static constexpr int kPorts = 16;

    // Binds port n (1-16) to a device path; an empty path unbinds it. Out-of-range numbers
    // are ignored.
    void bind(int portNumber, const QString& path);
    // The device path of port n, or an empty string when it is not bound.
    QString path(int portNumber) const;

private:
    std::array<QString, kPorts> paths_;
};

} // namespace platform
