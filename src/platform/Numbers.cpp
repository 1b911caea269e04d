#include "Numbers.h"

#include <QLocale>
#include <cmath>

namespace platform {

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qsizetype skipDigits(QStringView text, qsizetype i) {
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

} // namespace

double leadingNumber(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    const qsizetype intStart = i;
    i = skipDigits(text, i);
    bool digits = i > intStart;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        const qsizetype fracEnd = skipDigits(text, i + 1);
        digits = digits || fracEnd > i + 1;
        i = fracEnd;
    }
    if (!digits)
        return 0.0;
    // An exponent counts only when digits follow it.
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype e = i + 1;
        if (e < text.size() && (text[e] == QLatin1Char('+') || text[e] == QLatin1Char('-')))
            ++e;
        const qsizetype expEnd = skipDigits(text, e);
        if (expEnd > e)
            i = expEnd;
    }
    QString number = text.mid(start, i - start).toString();
    if (number.startsWith(QLatin1Char('+')))
        number.remove(0, 1);
    if (number.endsWith(QLatin1Char('.')))
        number.chop(1);
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

double roundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5)
        return lower;
    if (fraction > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

} // namespace platform
