#pragma once

#include "Timing.h"

#include <QByteArray>
#include <optional>

namespace sim {

// Misbehaviour switched on for one address of the bus. Apart from the late line, the
// interface's echo of a request is never affected; only what the sensor sends is.
struct Faults {
    // The sensor never answers (nor sends service requests).
    bool silent = false;
    // Every line the sensor sends ends in LF only, so a receiver waiting for CR never sees
    // the end of the line.
    bool noCarriageReturn = false;
    // Bytes that appear on the line right after the break, before the echo; empty for none.
    QByteArray noise;
    // The answer is replaced by bytes that belong to no reply form.
    bool garbage = false;
    // Measurements announce a wait of 000 and send no service request; their data are ready
    // at once (unless measuringTime says otherwise).
    bool zeroWait = false;
    // When set, measurements really take this long, whatever wait they announce: their data
    // are ready, and the service request comes, this long after the measurement reply.
    std::optional<Micros> measuringTime;
    // Measurements send no service request; their data are still ready in time.
    bool noServiceRequest = false;
    // When set, the whole line (the interface's echo, then the answer) comes this long after
    // the request instead of at once; more than the host's command time-out makes it late.
    std::optional<Micros> lateBy;

    static QByteArray defaultNoise() { return QByteArrayLiteral("\x00\x7f~#"); }
    static QByteArray garbageText() { return QByteArrayLiteral("#?%&*"); }

    bool any() const {
        return silent || noCarriageReturn || !noise.isEmpty() || garbage || zeroWait ||
               measuringTime.has_value() || noServiceRequest || lateBy.has_value();
    }
};

} // namespace sim
