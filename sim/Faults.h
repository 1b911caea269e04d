#pragma once

#include "Timing.h"

#include <QByteArray>
#include <QByteArrayList>
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

    // A setting is named by its request's mnemonic, e.g. "XRA" (range) or "XMU" (encoder
    // units); a set is that request with a value after the mnemonic ("3XRA12.5!"), a query
    // the request without one ("3XRA!").
    //
    // Sets of these settings go unanswered (only the echo comes) and change nothing; their
    // queries answer as usual.
    QByteArrayList refuseSet;
    // Sets of these settings take another value than the one sent, then answer with what the
    // sensor keeps, as usual. The sensor takes:
    // - a number setting: the number sent plus 1 ("XE9.81" keeps 10.81; "XU0,2.0" keeps 3.0;
    //   "XPC500" keeps 501 counts);
    // - a list setting: the entry after the one sent, the last wrapping round to the first:
    //   the level probe's pressure unit the next code of its list (3 bar keeps 5 mmWg, 14 KPa
    //   keeps 0 mH2O), its on/off and two-entry settings the other entry, the encoder's units
    //   the next of metres, millimetres, inches, feet;
    // - the level probe's filter ("XF0,10,0001"): one reading more, 99 wrapping round to 1.
    // A value that is no number, or no entry of the list, stays as sent.
    QByteArrayList differ;

    static QByteArray defaultNoise() { return QByteArrayLiteral("\x00\x7f~#"); }
    static QByteArray garbageText() { return QByteArrayLiteral("#?%&*"); }

    bool any() const {
        return silent || noCarriageReturn || !noise.isEmpty() || garbage || zeroWait ||
               measuringTime.has_value() || noServiceRequest || lateBy.has_value() ||
               !refuseSet.isEmpty() || !differ.isEmpty();
    }
};

} // namespace sim
