#include "CsvText.h"

#include <algorithm>

namespace logging {

void appendDigits(QByteArray& out, int value, int width) {
    char digits[8] = {};
    width = std::clamp(width, 0, 8);
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(QByteArrayView(digits, width));
}

bool csvNeedsQuotes(QStringView text) {
    for (QChar c : text)
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r')
            return true;
    return false;
}

} // namespace logging
