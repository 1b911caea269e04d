#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace sim {

// Number texts as sensors read and write them: "." as decimal point, an optional sign.
namespace NumberText {

// A whole text holding one decimal number ("12", "-0.5", "+.25", "3."); nothing else.
std::optional<double> parse(QByteArrayView text);
// A whole text of decimal digits only.
std::optional<int> parseDigits(QByteArrayView text);

// The sign ("+" or "-") and the value with a fixed number of decimals, e.g. "+12.345".
// SDI-12 allows at most 7 digits, so decimals are dropped for large values.
QByteArray signedFixed(double value, int decimals);
// The shortest text with up to 6 decimals and at least one, e.g. "9.80665", "10.0".
QByteArray plain(double value);
// plain() with its sign in front, e.g. "+9.80665", "-0.25".
QByteArray signedPlain(double value);

} // namespace NumberText

} // namespace sim
