#include "RotaryAnswer.h"

#include "core/protocol/Numbers.h"
#include "core/protocol/ReplyLine.h"
#include "core/protocol/StandardAnswers.h"

#include <array>
#include <cmath>

namespace rotary {

using protocol::ReplyLine;

namespace {

// The position p to read the answer from (its address at p+1, its value from p+2): the
// first "!", or, when the encoder repeated the mnemonic at or after it, the position of the
// mnemonic plus 1, so that the value is read right after the mnemonic.
int skipMnemonic(const ReplyLine& line, const char* mnemonic) {
    const int p = line.p();
    const qsizetype at = line.text().indexOf(QLatin1String(mnemonic), p - 1); // from 0
    return at < 0 ? p : static_cast<int>(at) + 2;
}

// The rest of the line after the address, when it is exactly one digit.
std::optional<int> oneDigit(const ReplyLine& line, int p) {
    const QString rest = line.from(p + 2);
    if (rest.size() != 1 || rest[0] < QLatin1Char('0') || rest[0] > QLatin1Char('9'))
        return std::nullopt;
    return rest[0].unicode() - '0';
}

// The rest; when it holds a "+" anywhere its first character goes.
QString withoutPlus(const QString& rest) {
    return rest.contains(QLatin1Char('+')) ? rest.mid(1) : rest;
}

} // namespace

RotaryAnswer readRotaryAnswer(Code code, const ReplyLine& line) {
    RotaryAnswer a;
    a.known = true;
    const int p = line.p();
    switch (code) {
    case Code::RotaryAddressChange: {
        const auto change = protocol::StandardAnswers::addressChange(line);
        a.oldAddress = change.oldAddress;
        a.newAddress = change.newAddress;
        break;
    }
    case Code::RotaryUnitsQuery:
    case Code::RotaryUnitsSet:
        a.listIndex = oneDigit(line, skipMnemonic(line, "XMU"));
        break;
    case Code::RotaryCircumferenceQuery:
    case Code::RotaryCircumferenceSet:
        a.text = line.from(skipMnemonic(line, "XCP") + 2);
        break;
    case Code::RotaryDirectionQuery:
    case Code::RotaryDirectionSet:
        a.listIndex = oneDigit(line, skipMnemonic(line, "XRD"));
        break;
    case Code::RotaryCountsQuery:
    case Code::RotarySerialNumberQuery:
        a.text = line.from(p + 2);
        break;
    case Code::RotaryCurrentValueQuery:
    case Code::RotaryCurrentValueSet:
        a.text = withoutPlus(line.from(skipMnemonic(line, "XCV") + 2));
        break;
    case Code::RotaryIdentification:
        a.identification = protocol::StandardAnswers::identification(line);
        break;
    case Code::RotarySetZero:
        break;
    case Code::RotaryMeasure:
        a.wait = protocol::StandardAnswers::measurement(line).wait;
        a.count = protocol::StandardAnswers::measurement(line).count;
        break;
    case Code::RotaryData:
        a.text = withoutPlus(line.from(p + 2));
        break;
    default:
        a.known = false;
        break;
    }
    return a;
}

QString measurementResolution(int unitsIndex, const QString& circumference,
                              const QString& countsPerRev) {
    // Millimetres per unit of the list's entries.
    constexpr std::array<double, 4> kMillimetres{1000.0, 1.0, 25.4, 304.8};
    if (unitsIndex < 0 || unitsIndex >= static_cast<int>(kMillimetres.size()))
        return {};
    const double c =
        protocol::leadingNumber(circumference) * kMillimetres[static_cast<size_t>(unitsIndex)];
    const double n = protocol::leadingNumber(countsPerRev);
    const double resolution = c / (n * 4.0);
    if (!std::isfinite(resolution))
        return {};
    return protocol::plainNumberText(resolution);
}

} // namespace rotary
