#pragma once

#include "Timing.h"

#include <QByteArray>

namespace sim {

// One request received by the bus or one line sent by a sensor, with its time on the line.
struct TrafficRecord {
    enum class Kind { Request, Reply, ServiceRequest, Noise };

    Kind kind = Kind::Request;
    // A request as received, "!" included; a reply or service request as sent, line end
    // included (without the interface's echo).
    QByteArray bytes;
    // When its first character started on the line and when its last one was complete.
    Micros start{0};
    Micros end{0};
};

} // namespace sim
