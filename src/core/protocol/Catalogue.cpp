#include "Catalogue.h"

#include <array>

namespace protocol {

namespace {

using V = Catalogue::Value;

constexpr std::array<Catalogue::Entry, 55> kEntries{{
    // Level probes.
    {Code::AddressQuery, "", V::None, nullptr}, // "?!", the address query
    {Code::AddressChange, "A", V::Digit, nullptr},
    {Code::PressUnitsQuery, "XUP", V::None, nullptr},
    {Code::PressUnitsSet, "XUP", V::Code, nullptr},
    {Code::TempUnitsQuery, "XUT", V::None, nullptr},
    {Code::TempUnitsSet, "XUT", V::Digit, nullptr},
    {Code::DensityCorrQuery, "XP", V::None, nullptr},
    {Code::DensityCorrSet, "XP", V::Digit, nullptr},
    {Code::LocalGravityQuery, "XE", V::None, nullptr},
    {Code::LocalGravitySet, "XE", V::Text, nullptr},
    {Code::Identification, "I", V::None, nullptr},
    {Code::Measure, "M", V::None, nullptr},
    {Code::Data, "D0", V::None, nullptr},
    {Code::RangeQuery, "XRA", V::None, nullptr},
    {Code::RangeSet, "XRA", V::Text, nullptr},
    {Code::MaxOverRangeQuery, "XMOR", V::None, nullptr},
    {Code::MaxOverRangeSet, "XMOR", V::Text, nullptr},
    {Code::ReverseQuery, "XREV", V::None, nullptr},
    {Code::ReverseSet, "XREV", V::Digit, nullptr},
    {Code::LevelQuery, "XLOF", V::None, nullptr},
    {Code::LevelSet, "XLOF", V::Text, nullptr},
    {Code::LocalOffsetQuery, "XLOC", V::None, nullptr},
    {Code::LocalOffsetSet, "XLOC", V::Digit, nullptr},
    {Code::UnlockQuery, "XUNLK", V::None, nullptr},
    {Code::UnlockSet, "XUNLK", V::Digit, nullptr},
    {Code::SerialNumberQuery, "XSN", V::None, nullptr},
    {Code::FilterQuery, "XF", V::None, nullptr},
    {Code::FilterSet, "XF", V::Filter, nullptr},
    {Code::AutoZero, "XSPM", V::Fixed, "0.0"},
    {Code::SpecificGravitySet, "XU0,", V::Text, nullptr},
    {Code::SpecificGravityQuery, "XU0", V::None, nullptr},
    {Code::LevelOffset, "XSPM", V::Text, nullptr},
    {Code::TrimOff, "XTRIMOF", V::Fixed, "0.0"},
    {Code::TrimOn, "XTRIMON", V::Digit, nullptr},
    {Code::ZeroCorrectionSet, "XANCLV0,", V::Text, nullptr},
    {Code::SlopeSet, "XANCLV1,", V::Text, nullptr},
    {Code::XU1Set, "XU1,", V::Text, nullptr},
    {Code::ZeroCorrectionQuery, "XANCLV0", V::None, nullptr},
    {Code::SlopeQuery, "XANCLV1", V::None, nullptr},
    {Code::CalibrationOn, "XANCALON", V::Fixed, "1"},
    // Rotary encoders.
    {Code::RotaryAddressChange, "A", V::Digit, nullptr},
    {Code::RotaryUnitsQuery, "XMU", V::None, nullptr},
    {Code::RotaryUnitsSet, "XMU", V::Digit, nullptr},
    {Code::RotaryCircumferenceQuery, "XCP", V::None, nullptr},
    {Code::RotaryCircumferenceSet, "XCP", V::Text, nullptr},
    {Code::RotaryDirectionQuery, "XRD", V::None, nullptr},
    {Code::RotaryDirectionSet, "XRD", V::Digit, nullptr},
    {Code::RotaryCountsQuery, "XPC", V::None, nullptr},
    {Code::RotaryCurrentValueQuery, "XCV", V::None, nullptr},
    {Code::RotaryCurrentValueSet, "XCV", V::Text, nullptr},
    {Code::RotaryIdentification, "I", V::None, nullptr},
    {Code::RotarySerialNumberQuery, "XSN", V::None, nullptr},
    {Code::RotarySetZero, "XZE", V::None, nullptr},
    {Code::RotaryMeasure, "C", V::None, nullptr},
    {Code::RotaryData, "D0", V::None, nullptr},
}};

} // namespace

const Catalogue::Entry* Catalogue::entry(Code code) {
    for (const Entry& e : kEntries)
        if (e.code == code)
            return &e;
    return nullptr;
}

QByteArray Catalogue::request(int page, Code code, const QByteArray& value) {
    const Entry* e = entry(code);
    if (!e)
        return {};
    QByteArray bytes;
    // Only the address query goes to every sensor.
    bytes.append(code == Code::AddressQuery ? '?' : static_cast<char>('0' + page));
    bytes.append(e->letters);
    switch (e->value) {
    case Value::None:
        break;
    case Value::Fixed:
        bytes.append(e->fixed);
        break;
    case Value::Digit:
        bytes.append(value.left(1));
        break;
    case Value::Code:
    case Value::Text:
    case Value::Filter:
        bytes.append(value);
        break;
    }
    bytes.append('!');
    return bytes;
}

QByteArray Catalogue::digitValue(int digit) {
    // A list with no selection gives index -1, whose first character is "-".
    return QByteArray::number(digit).left(1);
}

std::optional<QByteArray> Catalogue::codeValue(int itemCode) {
    if (itemCode < 0 || itemCode > 99)
        return std::nullopt;
    return QByteArray::number(itemCode);
}

QByteArray Catalogue::textValue(const QString& text) {
    return text.toLatin1();
}

std::optional<QByteArray> Catalogue::filterValue(int readings, int interval) {
    if (readings < 0 || readings > 99 || interval < 0 || interval > 9999)
        return std::nullopt;
    return QByteArrayLiteral("0,") + QByteArray::number(readings).rightJustified(2, '0') + ',' +
           QByteArray::number(interval).rightJustified(4, '0');
}

} // namespace protocol
