#pragma once

#include <QStringView>

namespace platform {

// The number at the start of a text, read the same way in every locale: blanks skipped, an
// optional sign, digits with "." as the decimal point, an optional exponent. Text that does
// not start with a number gives 0 ("12abc" gives 12, "abc" gives 0).
double leadingNumber(QStringView text);

// Rounds to the nearest whole number; a value exactly halfway goes to the even neighbour
// (20.5 gives 20, 21.5 gives 22, -2.5 gives -2).
double roundHalfEven(double value);

} // namespace platform
