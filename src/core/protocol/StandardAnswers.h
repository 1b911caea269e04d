#pragma once

#include <QStringList>

namespace protocol {

class ReplyLine;

// Reads the answers every SDI-12 sensor gives in the same form, whichever family it belongs
// to. Each reader takes a reply line that starts at the echo and holds a "!"; characters
// that are missing or out of place read as in the comments, never past the line's end.
class StandardAnswers {
public:
    // An address change aAb!, from its echoed request: a to b. An address that is no digit,
    // or is missing because the echo is cut short, reads as -1.
    struct AddressChange {
        int oldAddress = -1;
        int newAddress = -1;
    };
    static AddressChange addressChange(const ReplyLine& line);

    // The answer atttn to a measurement request: the seconds ttt until the values are ready
    // and their number n, at their fixed places after the address. A character that is no
    // digit, or is missing, counts as 0.
    struct Measurement {
        int wait = 0;
        int count = 0;
    };
    static Measurement measurement(const ReplyLine& line);

    // The four lines a page shows for an identification answer (aI!): SDI-12 version,
    // company, model and sensor version, read at their fixed places after the address; a
    // short answer leaves the later fields short or empty.
    static QStringList identification(const ReplyLine& line);
};

} // namespace protocol
