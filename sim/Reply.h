#pragma once

#include "Timing.h"

#include <QByteArray>
#include <optional>

namespace sim {

// What a sensor answers to one request: the line without CR LF, its address first.
struct Reply {
    QByteArray text;
    // A measurement reply: where its three-digit wait field starts in text, and when the
    // sensor will send its service request, counted from the end of the reply.
    qsizetype waitField = -1;
    std::optional<Micros> serviceRequestAfter;
};

} // namespace sim
