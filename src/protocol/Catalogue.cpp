#include "Catalogue.h"

#include <array>

namespace protocol {

namespace {

using V = Catalogue::Value;

constexpr std::array<Catalogue::Entry, 55> kEntries{{
    // Level probes.
    {0, "", V::None, nullptr}, // "?!", the address query
    {1, "A", V::Digit, nullptr},
    {2, "XUP", V::None, nullptr},
    {3, "XUP", V::Code, nullptr},
    {4, "XUT", V::None, nullptr},
    {5, "XUT", V::Digit, nullptr},
    {6, "XP", V::None, nullptr},
    {7, "XP", V::Digit, nullptr},
    {8, "XE", V::None, nullptr},
    {9, "XE", V::Text, nullptr},
    {10, "I", V::None, nullptr},
    {11, "M", V::None, nullptr},
    {12, "D0", V::None, nullptr},
    {13, "XRA", V::None, nullptr},
    {14, "XRA", V::Text, nullptr},
    {15, "XMOR", V::None, nullptr},
    {16, "XMOR", V::Text, nullptr},
    {17, "XREV", V::None, nullptr},
    {18, "XREV", V::Digit, nullptr},
    {19, "XLOF", V::None, nullptr},
    {20, "XLOF", V::Text, nullptr},
    {21, "XLOC", V::None, nullptr},
    {22, "XLOC", V::Digit, nullptr},
    {23, "XUNLK", V::None, nullptr},
    {24, "XUNLK", V::Digit, nullptr},
    {25, "XSN", V::None, nullptr},
    {26, "XF", V::None, nullptr},
    {27, "XF", V::Filter, nullptr},
    {28, "XSPM", V::Fixed, "0.0"},
    {29, "XU0,", V::Text, nullptr},
    {30, "XU0", V::None, nullptr},
    {31, "XSPM", V::Text, nullptr},
    {32, "XTRIMOF", V::Fixed, "0.0"},
    {33, "XTRIMON", V::Digit, nullptr},
    {34, "XANCLV0,", V::Text, nullptr},
    {35, "XANCLV1,", V::Text, nullptr},
    {36, "XU1,", V::Text, nullptr},
    {37, "XANCLV0", V::None, nullptr},
    {38, "XANCLV1", V::None, nullptr},
    {39, "XANCALON", V::Fixed, "1"},
    // Rotary encoders.
    {101, "A", V::Digit, nullptr},
    {102, "XMU", V::None, nullptr},
    {103, "XMU", V::Digit, nullptr},
    {104, "XCP", V::None, nullptr},
    {105, "XCP", V::Text, nullptr},
    {106, "XRD", V::None, nullptr},
    {107, "XRD", V::Digit, nullptr},
    {108, "XPC", V::None, nullptr},
    {110, "XCV", V::None, nullptr},
    {111, "XCV", V::Text, nullptr},
    {112, "I", V::None, nullptr},
    {113, "XSN", V::None, nullptr},
    {114, "XZE", V::None, nullptr},
    {116, "C", V::None, nullptr},
    {117, "D0", V::None, nullptr},
}};

} // namespace

const Catalogue::Entry* Catalogue::entry(qint16 code) {
    for (const Entry& e : kEntries)
        if (e.code == code)
            return &e;
    return nullptr;
}

QByteArray Catalogue::request(int page, qint16 code, const QByteArray& value) {
    const Entry* e = entry(code);
    if (!e)
        return {};
    QByteArray bytes;
    // Only the address query goes to every sensor.
    bytes.append(code == 0 ? '?' : static_cast<char>('0' + page));
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

QByteArray Catalogue::textValue(const QString& text) { return text.toLatin1(); }

std::optional<QByteArray> Catalogue::filterValue(int readings, int interval) {
    if (readings < 0 || readings > 99 || interval < 0 || interval > 9999)
        return std::nullopt;
    return QByteArrayLiteral("0,") + QByteArray::number(readings).rightJustified(2, '0') + ',' +
           QByteArray::number(interval).rightJustified(4, '0');
}

} // namespace protocol
