#pragma once

#include "Timing.h"

#include <QByteArray>

namespace sim {

// What a sensor answers to one request: the line without CR LF, its address first.
struct Reply {
    QByteArray text;
    // A measurement reply: where its three-digit wait field starts in text (-1 for any other
    // reply), and how long after the end of the reply the sensor's data are ready. A wait
    // other than 000 promises a service request at that time.
    qsizetype waitField = -1;
    Micros measuringTime{0};

    bool isMeasurement() const { return waitField >= 0; }
};

} // namespace sim
