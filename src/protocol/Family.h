#pragma once

#include <QString>
#include <QtGlobal>

namespace protocol {

class ReplyLine;

// What differs between the two sensor families: how a page is locked, unlocked and moved,
// how a reply is decoded, and how a measurement is taken. Implemented once by the
// level-probe family and once by the rotary-encoder family.
class Family {
public:
    virtual ~Family() = default;

    virtual bool isRotary() const = 0;
    // Transaction code of the data request aD0!.
    virtual qint16 dataRequestCode() const = 0;

    // Disables a page's controls (and the window-level ones) while a transaction is in flight.
    virtual void lockPage(int page) = 0;
    // Enables them again when the transaction has ended.
    virtual void unlockPage(int page) = 0;

    // Runs the decoder branch for `code` on a reply line that carries the request's echo and
    // a "!"; everything it shows goes to page `tab`. Returns false when the family has no
    // branch for the code.
    virtual bool decodeReply(int tab, qint16 code, const ReplyLine& line) = 0;
};

} // namespace protocol
