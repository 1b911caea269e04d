#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

namespace protocol {
class ReplyLine;
}

namespace rotary {

// What an encoder said in reply to one transaction, read from its reply line without
// touching any page. The fields a code does not use stay at their defaults.
struct RotaryAnswer {
    bool known = false; // the code has a branch

    // Codes 102, 103, 106, 107: the list index the encoder named (after its mnemonic, when it
    // repeats it); empty when the answer is not one digit.
    std::optional<int> listIndex;
    // The value: the circumference (104, 105), the counts per revolution (108), the current
    // value (110, 111) or the reading (117) without a leading "+", the serial number (113).
    QString text;
    // Code 101: the old and the new address from the echoed aAb!; -1 when no digit.
    int oldAddress = -1;
    int newAddress = -1;
    // Code 112: the identification's lines as the page shows them.
    QStringList identification;
    // Code 116: the time until the reading is ready, in seconds, and the number of values.
    int wait = 0;
    int count = 0;
};

RotaryAnswer readRotaryAnswer(qint16 code, const protocol::ReplyLine& line);

// Millimetres per count: the circumference in the unit of the list entry (0 metres,
// 1 millimetres, 2 inches, 3 feet) over four times the counts per revolution. Empty when
// no unit is chosen or that is no finite number (counts 0, empty or not a number).
QString measurementResolution(int unitsIndex, const QString& circumference,
                              const QString& countsPerRev);

} // namespace rotary
