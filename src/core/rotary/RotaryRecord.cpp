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

std::optional<RotaryField> RotaryRecord::take(Code code, const RotaryAnswer& a) {
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

void RotaryRecord::clear(RotaryField field) {
    switch (field) {
    case RotaryField::Identification:
        identification.clear();
        break;
    case RotaryField::SerialNumber:
        serialNumber.clear();
        break;
    case RotaryField::Units:
        units.reset();
        break;
    case RotaryField::PulleyCircumference:
        pulleyCircumference.clear();
        break;
    case RotaryField::Direction:
        direction.reset();
        break;
    case RotaryField::CountsPerRev:
        countsPerRev.clear();
        break;
    case RotaryField::CurrentValue:
    case RotaryField::Reading:
        currentValue.clear();
        break;
    }
}

QString RotaryRecord::unitsText() const {
    return entry(unitNames(), units);
}

QString RotaryRecord::directionText() const {
    return entry(directionNames(), direction);
}

} // namespace rotary
