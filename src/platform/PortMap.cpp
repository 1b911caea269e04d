#include "PortMap.h"

namespace platform {

void PortMap::bind(int portNumber, const QString& path) {
    if (portNumber >= 1 && portNumber <= kPorts)
        paths_[static_cast<size_t>(portNumber - 1)] = path;
}

QString PortMap::path(int portNumber) const {
    if (portNumber < 1 || portNumber > kPorts)
        return {};
    return paths_[static_cast<size_t>(portNumber - 1)];
}

} // namespace platform
