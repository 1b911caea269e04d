#pragma once

#include <QStringView>
#include <optional>
#include <string_view>

namespace protocol {

// How a number may be written besides its plain form, which is an optional "-", digits with
// an optional "." (".5" and "5." count) and an optional exponent ("1.5E-3"). Numbers are
// read the same way in every locale: "." is the decimal point.
struct NumberForm {
    // A leading "+" is allowed.
    bool plus = true;
    // White space around the number is ignored, and so is white space after a leading "+",
    // which may then be followed by the number's own sign ("+ -5" is -5).
    bool blanks = false;
    // The whole part may be written in groups of three digits split by "," (1,000.5); a ","
    // anywhere else makes the text no number.
    bool groups = false;
};

// A value as a sensor answers it or a user types it.
inline constexpr NumberForm kAnswerNumber{.plus = true, .blanks = true, .groups = true};

// The number a whole text stands for; empty when the text is empty, holds anything besides
// the number, or the number is too large or too small for a double. A text of bytes is
// ASCII or UTF-8.
std::optional<double> parseNumber(QStringView text, NumberForm form = kAnswerNumber);
std::optional<double> parseNumber(std::string_view text, NumberForm form = kAnswerNumber);

// The number at the start of a text: spaces and tabs skipped, an optional sign, digits with
// "." as the decimal point, an exponent only when digits follow it. Text that does not
// start with a number, or whose number is out of range, gives 0 ("12abc" gives 12, "abc"
// gives 0).
double leadingNumber(QStringView text);

} // namespace protocol
