#pragma once

#include <QCoroTask>

namespace protocol {
class Family;
}
namespace sdilink {
class Link;
}

namespace discovery {

// What became of moving a sensor to another address.
enum class AddressMove {
    Moved,        // the sensor confirmed it; its record and presence moved with it
    AlreadyThere, // the sensor is at that address already
    InUse,        // the last scan found a sensor there, or one answered the probe
    NotConfirmed, // the change got no answer: the sensor may answer at either address
    Unchanged,    // not sent (the port is closed, the wait abandoned), or answered otherwise
};

// Moves the sensor at p to address b: refused for an address the last scan found in use;
// before "pAb!" the target is asked "b!", and anything answering there refuses the change
// too. The bus is held from the probe to the end of what the move leaves to send, and free
// when this returns.
QCoro::Task<AddressMove> moveAddress(sdilink::Link& link, protocol::Family& family, int p, int b);

// True when anything answers at the address (a line, or any byte after the echo before the
// time-out: garbage or a line cut short is not a free address); page p is locked meanwhile.
// A step of a sequence holding the bus.
QCoro::Task<bool> addressAnswers(sdilink::Link& link, protocol::Family& family, int p, int address);

} // namespace discovery
