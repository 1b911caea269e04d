#pragma once

#include <QByteArray>
#include <QStringView>

namespace logging {

// Pieces of the comma-separated text that the journal and the csv export both write.

// `value` as exactly `width` decimal digits, leading zeros kept (width at most 8).
void appendDigits(QByteArray& out, int value, int width);
// Whether a field must go in double quotes: it holds a comma, a quote, a CR or an LF.
bool csvNeedsQuotes(QStringView text);

} // namespace logging
