#pragma once

#include "Code.h"

#include <QByteArray>
#include <QtGlobal>

namespace sdilink {

// One request and what belongs to it: the bytes sent, the transaction code, the page its
// answer is shown on (and that is locked until it ends), the address whose answer counts,
// and how long it may take.
struct Transaction {
    // Which reply lines answer it.
    enum class Answer {
        Address,    // the echo, then the answer of `address`
        AnyAddress, // the echo, then any address ("?!")
        AnyLine,    // every line (requests typed by hand)
    };

    QByteArray request;
    Code code = Code::AddressQuery;
    int page = 0;
    char address = '0';
    Answer answer = Answer::Address;
    // The command time-out is multiplied by this: a scan waits ten times as long for a
    // measurement and its data.
    int timeoutFactor = 1;
    // Added to the time-out: how long the request itself takes to go out (a long request
    // typed by hand), so that its time-out starts when its last byte has left.
    int sendingMs = 0;
    // Whether its reply beeps (a sequence's replies do not; the sequence beeps at its end).
    bool beep = true;
    // Typed by hand: its reply goes to the user-command window, never to a page.
    bool typed = false;
    // Given by the link when it starts the transaction: its own number, and the number of
    // the exchange it belongs to (a measurement and its data request share one).
    quint64 id = 0;
    quint64 exchange = 0;

    // The same request for the same page, waiting twice, is sent once.
    bool sameRequest(const Transaction& other) const {
        return request == other.request && code == other.code && page == other.page &&
               typed == other.typed;
    }

    // At 1200 baud, 7 data bits, even parity and one stop bit: 10 bits a byte.
    static int sendingTimeMs(qsizetype bytes) {
        return static_cast<int>((bytes * 10 * 1000 + 1199) / 1200);
    }

    // A request for a page: its answer comes from the request's address, the new one for an
    // address change "aAb!", any address for "?!".
    static Transaction forPage(int page, Code code, QByteArray request);
};

// Whether a framed line is the reply to the transaction: it holds the request's echo (noise
// before the echo is tolerated) and right after the echo the address the transaction
// expects. Returns the position of the echo, or -1 when the line answers something else.
qsizetype replyStart(const Transaction& transaction, const QByteArray& line);

} // namespace sdilink
