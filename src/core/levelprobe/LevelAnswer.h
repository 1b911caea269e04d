#pragma once

#include "core/link/Code.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

namespace protocol {
class ReplyLine;
}

namespace levelprobe {

using sdilink::Code;

// What a level probe said in reply to one transaction, read from its reply line without
// touching any page. The fields a code does not use stay at their defaults.
struct LevelAnswer {
    bool known = false; // the code has a branch

    // Units, density correction, reverse: the pressure-unit code (PressUnits*) or the list
    // index the sensor named; empty when the answer is no valid code (wrong length, not
    // digits, nothing).
    std::optional<int> listCode;
    // Local offset, unlock: the flag, when the answer is one digit.
    std::optional<int> flag;
    // The value to show: a signed value as received (local gravity, zero correction, slope)
    // or rounded (range, maximum over-range, level), the specific gravity, the serial number.
    QString text;
    // AddressChange: the old and the new address, from the echoed request aAb!; -1 when either is
    // no address digit.
    int oldAddress = -1;
    int newAddress = -1;
    // Identification: the identification's lines as the page shows them.
    QStringList identification;
    // Measure, AutoZero, LevelOffset: the announced wait in seconds (ttt) and the number of values
    // (n).
    int wait = 0;
    int count = 0;
    // Data: the values of the data answer; hasValues is false when it holds none.
    bool hasValues = false;
    QString first, second;
    // FilterQuery, FilterSet: the filter answer a0,nn,mmmm and the sample rate it makes.
    int readings = 0;
    int interval = 0;
    QString sampleRate;
};

LevelAnswer readLevelAnswer(Code code, const protocol::ReplyLine& line);

// A signed value rounded to `places`; the text as received when it is not a number.
QString roundedText(const QString& value, int places);
// The specific gravity from the reciprocal the sensor holds, rounded to 6 places; the text
// as received when it is no number or 0.
QString specificGravityText(const QString& reciprocal);

} // namespace levelprobe
