#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace sdilink {

// The reply line being framed: the echo of the request followed by the sensor's answer,
// without the closing CR and LF.
struct ReceiveBuffer {
    QByteArray Data;
    qint16 Count = 0;
    bool Complete = false;
    QByteArray LogText; // characters received since the last line feed, for the comms log
};

} // namespace sdilink
