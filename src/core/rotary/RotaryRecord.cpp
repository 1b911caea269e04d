#include "RotaryRecord.h"

namespace rotary {

namespace {

QString entry(const QStringList& names, std::optional<int> index) {
    return index && *index >= 0 && *index < names.size() ? names.at(*index) : QString();
}

} // namespace

const QStringList& unitNames() {
    static const QStringList names{QStringLiteral("Metres"), QStringLiteral("Millimetres"),
                                   QStringLiteral("Inches"), QStringLiteral("Feet")};
    return names;
}

const QStringList& directionNames() {
    static const QStringList names{QStringLiteral("Anticlockwise"), QStringLiteral("Clockwise")};
    return names;
}

std::optional<RotaryField> queriedField(Code code) {
    switch (code) {
    case Code::RotaryUnitsQuery:
        return RotaryField::Units;
    case Code::RotaryCircumferenceQuery:
        return RotaryField::PulleyCircumference;
    case Code::RotaryDirectionQuery:
        return RotaryField::Direction;
    case Code::RotaryCountsQuery:
        return RotaryField::CountsPerRev;
    case Code::RotaryCurrentValueQuery:
        return RotaryField::CurrentValue;
    case Code::RotaryIdentification:
        return RotaryField::Identification;
    default:
        return std::nullopt;
    }
}

std::optional<RotaryField> RotaryRecord::take(Code code, const RotaryAnswer& a) {
    const std::optional<RotaryField> field = keep(code, a);
    if (field)
        awaiting &= ~bits(*field);
    return field;
}

std::optional<RotaryField> RotaryRecord::keep(Code code, const RotaryAnswer& a) {
    std::optional<RotaryField> field;
    switch (code) {
    case Code::RotaryUnitsQuery:
    case Code::RotaryUnitsSet:
        units = a.listIndex;
        field = RotaryField::Units;
        break;
    case Code::RotaryCircumferenceQuery:
    case Code::RotaryCircumferenceSet:
        pulleyCircumference = a.text;
        field = RotaryField::PulleyCircumference;
        break;
    case Code::RotaryDirectionQuery:
    case Code::RotaryDirectionSet:
        direction = a.listIndex;
        field = RotaryField::Direction;
        break;
    case Code::RotaryCountsQuery:
        countsPerRev = a.text;
        field = RotaryField::CountsPerRev;
        break;
    case Code::RotaryCurrentValueQuery:
    case Code::RotaryCurrentValueSet:
        currentValue = a.text;
        field = RotaryField::CurrentValue;
        break;
    case Code::RotaryIdentification:
        identification = a.identification;
        field = RotaryField::Identification;
        break;
    case Code::RotarySerialNumberQuery:
        serialNumber = a.text;
        field = RotaryField::SerialNumber;
        break;
    case Code::RotarySetZero:
        currentValue = QStringLiteral("0.000");
        field = RotaryField::CurrentValue;
        break;
    case Code::RotaryData:
        // A blank answer keeps the last value.
        if (a.text.trimmed().isEmpty())
            return std::nullopt;
        currentValue = a.text;
        field = RotaryField::Reading;
        break;
    default:
        return std::nullopt;
    }
    if (code == Code::RotaryUnitsSet || code == Code::RotaryCircumferenceSet ||
        code == Code::RotaryCountsQuery)
        measurementRes =
            measurementResolution(units.value_or(-1), pulleyCircumference, countsPerRev);
    return field;
}

QString RotaryRecord::unitsText() const {
    return entry(unitNames(), units);
}

QString RotaryRecord::directionText() const {
    return entry(directionNames(), direction);
}

} // namespace rotary
