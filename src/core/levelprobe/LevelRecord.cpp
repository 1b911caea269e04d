#include "LevelRecord.h"

#include "PressureUnits.h"

namespace levelprobe {

using sdilink::Code;

namespace {

QString entry(const QStringList& names, std::optional<int> index) {
    return index && *index >= 0 && *index < names.size() ? names.at(*index) : QString();
}

} // namespace

const QStringList& temperatureUnitNames() {
    static const QStringList names{QStringLiteral("Centigrade"), QStringLiteral("Fahrenheit")};
    return names;
}

const QStringList& densityCorrectionNames() {
    static const QStringList names{QStringLiteral("Compensated"), QStringLiteral("Uncompensated")};
    return names;
}

const QStringList& reverseNames() {
    static const QStringList names{QStringLiteral("Off"), QStringLiteral("On")};
    return names;
}

std::optional<LevelField> queriedField(Code code) {
    switch (code) {
    case Code::PressUnitsQuery:
        return LevelField::PressureUnits;
    case Code::TempUnitsQuery:
        return LevelField::TemperatureUnits;
    case Code::DensityCorrQuery:
        return LevelField::DensityCorrection;
    case Code::LocalGravityQuery:
        return LevelField::LocalGravity;
    case Code::Identification:
        return LevelField::Identification;
    case Code::RangeQuery:
        return LevelField::Range;
    case Code::MaxOverRangeQuery:
        return LevelField::MaxOverRange;
    case Code::LevelQuery:
        return LevelField::LocalLevel;
    default:
        return std::nullopt;
    }
}

std::optional<LevelField> LevelRecord::take(Code code, const LevelAnswer& a) {
    const std::optional<LevelField> field = keep(code, a);
    if (field)
        awaiting &= ~bit(*field);
    return field;
}

std::optional<LevelField> LevelRecord::keep(Code code, const LevelAnswer& a) {
    switch (code) {
    case Code::PressUnitsQuery:
    case Code::PressUnitsSet:
        pressureUnit = a.listCode;
        return LevelField::PressureUnits;
    case Code::TempUnitsQuery:
    case Code::TempUnitsSet:
        temperatureUnit = a.listCode;
        return LevelField::TemperatureUnits;
    case Code::DensityCorrQuery:
    case Code::DensityCorrSet:
        densityCorrection = a.listCode;
        return LevelField::DensityCorrection;
    case Code::LocalGravityQuery:
    case Code::LocalGravitySet:
        localGravity = a.text;
        return LevelField::LocalGravity;
    case Code::Identification:
        identification = a.identification;
        return LevelField::Identification;
    case Code::Data:
        if (!a.hasValues)
            return std::nullopt;
        pressure = a.first;
        temperature = a.second;
        return LevelField::Reading;
    case Code::RangeQuery:
    case Code::RangeSet:
        range = a.text;
        return LevelField::Range;
    case Code::MaxOverRangeQuery:
    case Code::MaxOverRangeSet:
        maxOverRange = a.text;
        return LevelField::MaxOverRange;
    case Code::ReverseQuery:
    case Code::ReverseSet:
        reverse = a.listCode;
        return LevelField::Reverse;
    case Code::LevelQuery:
    case Code::LevelSet:
        localLevel = a.text;
        return LevelField::LocalLevel;
    case Code::LocalOffsetQuery:
    case Code::LocalOffsetSet:
        // Only 0 and 1 are flags; anything else leaves the value as it was.
        if (!a.flag || (*a.flag != 0 && *a.flag != 1))
            return std::nullopt;
        localOffset = *a.flag == 1;
        return LevelField::LocalOffset;
    case Code::UnlockQuery:
    case Code::UnlockSet:
        if (!a.flag)
            return std::nullopt;
        unlock = *a.flag != 0;
        return LevelField::Unlock;
    case Code::SerialNumberQuery:
        serialNumber = a.text;
        return LevelField::SerialNumber;
    case Code::FilterQuery:
    case Code::FilterSet:
        sampleRate = a.sampleRate;
        return LevelField::SampleRate;
    case Code::SpecificGravitySet:
    case Code::SpecificGravityQuery:
        specificGravity = a.text;
        return LevelField::SpecificGravity;
    case Code::ZeroCorrectionQuery:
        zeroCalibration = a.text;
        return LevelField::ZeroCalibration;
    case Code::SlopeQuery:
        slopeCalibration = a.text;
        return LevelField::SlopeCalibration;
    default:
        return std::nullopt;
    }
}

std::optional<int> LevelRecord::pressureUnitEntry() const {
    std::optional<int> match;
    const auto units = pressureUnits();
    for (size_t i = 0; pressureUnit && i < units.size(); ++i)
        if (units[i].code == *pressureUnit)
            match = static_cast<int>(i);
    return match;
}

QString LevelRecord::pressureUnitText() const {
    const std::optional<int> entry = pressureUnitEntry();
    return entry ? QString::fromLatin1(pressureUnits()[static_cast<size_t>(*entry)].text)
                 : QString();
}

QString LevelRecord::temperatureUnitText() const {
    return entry(temperatureUnitNames(), temperatureUnit);
}

QString LevelRecord::densityCorrectionText() const {
    return entry(densityCorrectionNames(), densityCorrection);
}

QString LevelRecord::reverseText() const {
    return entry(reverseNames(), reverse);
}

QString LevelRecord::sampleRateText() const {
    if (sampleRate.isEmpty())
        return {};
    return sampleRate + (sampleRate == QLatin1String("1") ? QStringLiteral(" Second")
                                                          : QStringLiteral(" Seconds"));
}

} // namespace levelprobe
