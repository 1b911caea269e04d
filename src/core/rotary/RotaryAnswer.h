#pragma once

#include "core/link/Code.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

namespace protocol {
class ReplyLine;
}

namespace rotary {

using sdilink::Code;

// What an encoder said in reply to one transaction, read from its reply line without
// touching any page. The fields a code does not use stay at their defaults.
struct RotaryAnswer {
    bool known = false; // the code has a branch

    // Units, direction: the list index the encoder named (after its mnemonic, when it
    // repeats it); empty when the answer is not one digit.
    std::optional<int> listIndex;
    // The value: the circumference, the counts per revolution, the current value or the
    // reading (RotaryData) without a leading "+", the serial number.
    QString text;
    // RotaryAddressChange: the old and the new address from the echoed aAb!; -1 when no digit.
    int oldAddress = -1;
    int newAddress = -1;
    // RotaryIdentification: the identification's lines as the page shows them.
    QStringList identification;
    // RotaryMeasure: the time until the reading is ready, in seconds, and the number of values.
    int wait = 0;
    int count = 0;
};

RotaryAnswer readRotaryAnswer(Code code, const protocol::ReplyLine& line);

// Millimetres per count: the circumference in the unit of the list entry (0 metres,
// 1 millimetres, 2 inches, 3 feet) over four times the counts per revolution. Empty when
// no unit is chosen or that is no finite number (counts 0, empty or not a number).
QString measurementResolution(int unitsIndex, const QString& circumference,
                              const QString& countsPerRev);

} // namespace rotary
