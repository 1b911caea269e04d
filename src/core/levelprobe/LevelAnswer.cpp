#include "LevelAnswer.h"

#include "core/protocol/Numbers.h"
#include "core/protocol/ReplyLine.h"
#include "core/protocol/StandardAnswers.h"

#include <algorithm>

namespace levelprobe {

using protocol::ReplyLine;

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The answer after the address when it is exactly `digits` digits long.
std::optional<int> exactDigits(const ReplyLine& line, int digits) {
    const QString answer = line.from(line.p() + 2);
    if (answer.size() != digits || !std::all_of(answer.begin(), answer.end(), isDigit))
        return std::nullopt;
    return answer.toInt();
}

// A pressure-unit code is one or two digits.
std::optional<int> unitCode(const ReplyLine& line) {
    if (auto one = exactDigits(line, 1))
        return one;
    return exactDigits(line, 2);
}

} // namespace

QString roundedText(const QString& value, int places) {
    const std::optional<double> number = protocol::parseNumber(value);
    return number ? protocol::plainNumberText(protocol::RoundIt(*number, places)) : value;
}

QString specificGravityText(const QString& reciprocal) {
    const std::optional<double> v = protocol::parseNumber(reciprocal);
    if (!v || *v == 0.0)
        return reciprocal;
    return protocol::plainNumberText(protocol::RoundIt(1.0 / *v, 6));
}

LevelAnswer readLevelAnswer(Code code, const ReplyLine& line) {
    LevelAnswer a;
    a.known = true;
    const int p = line.p();
    switch (code) {
    case Code::AddressChange: {
        const auto change = protocol::StandardAnswers::addressChange(line);
        a.oldAddress = change.oldAddress;
        a.newAddress = change.newAddress;
        break;
    }
    case Code::PressUnitsQuery:
    case Code::PressUnitsSet:
        a.listCode = unitCode(line);
        break;
    case Code::TempUnitsQuery:
    case Code::TempUnitsSet:
    case Code::DensityCorrQuery:
    case Code::DensityCorrSet:
    case Code::ReverseQuery:
    case Code::ReverseSet:
        a.listCode = exactDigits(line, 1);
        break;
    case Code::LocalGravityQuery:
    case Code::LocalGravitySet:
    case Code::ZeroCorrectionQuery:
    case Code::SlopeQuery:
        a.text = line.signedText();
        break;
    case Code::Identification:
        a.identification = protocol::StandardAnswers::identification(line);
        break;
    case Code::Measure:
    case Code::AutoZero:
    case Code::LevelOffset:
        a.wait = protocol::StandardAnswers::measurement(line).wait;
        a.count = protocol::StandardAnswers::measurement(line).count;
        break;
    case Code::Data: {
        const QString answer = line.from(p + 2);
        a.hasValues = !answer.trimmed().isEmpty();
        const protocol::DataValues values = protocol::splitDataAnswer(answer);
        a.first = values.first;
        a.second = values.second;
        break;
    }
    case Code::RangeQuery:
    case Code::RangeSet:
    case Code::MaxOverRangeQuery:
    case Code::MaxOverRangeSet:
    case Code::LevelQuery:
    case Code::LevelSet:
        a.text = roundedText(line.signedText(), 4);
        break;
    case Code::LocalOffsetQuery:
    case Code::LocalOffsetSet:
    case Code::UnlockQuery:
    case Code::UnlockSet:
        a.flag = exactDigits(line, 1);
        break;
    case Code::SerialNumberQuery:
        a.text = line.from(p + 2);
        break;
    case Code::FilterQuery:
    case Code::FilterSet: {
        // The answer is a0,nn,mmmm.
        a.readings = 10 * line.digitAt(p + 4) + line.digitAt(p + 5);
        // Four characters hold no more than 9999, unless written with an exponent ("5e51").
        a.interval = static_cast<int>(
            std::clamp(protocol::leadingNumber(line.mid(p + 7, 4)), -9999.0, 9999.0));
        a.sampleRate =
            protocol::plainNumberText(a.readings * static_cast<double>(a.interval) * 0.2);
        break;
    }
    case Code::SpecificGravitySet:
    case Code::SpecificGravityQuery:
        a.text = specificGravityText(line.signedText());
        break;
    case Code::TrimOff:
    case Code::TrimOn:
    case Code::ZeroCorrectionSet:
    case Code::SlopeSet:
    case Code::XU1Set:
    case Code::CalibrationOn:
        break;
    default:
        a.known = false;
        break;
    }
    return a;
}

} // namespace levelprobe
