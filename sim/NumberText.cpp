#include "NumberText.h"

#include <cmath>

namespace sim::NumberText {

std::optional<double> parse(QByteArrayView text) {
    qsizetype i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    bool ok = false;
    const double value = QByteArray(text.data(), text.size()).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> parseDigits(QByteArrayView text) {
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

QByteArray signedFixed(double value, int decimals) {
    const double magnitude = std::fabs(value);
    int integerDigits = 1;
    for (double limit = 10.0; magnitude >= limit && integerDigits < 7; limit *= 10.0)
        ++integerDigits;
    decimals = std::clamp(decimals, 0, 7 - integerDigits);
    QByteArray text = QByteArray::number(magnitude, 'f', decimals);
    // A value that rounds to zero carries "+".
    const bool negative = value < 0 && text.toDouble() != 0.0;
    return (negative ? "-" : "+") + text;
}

QByteArray plain(double value) {
    QByteArray text = QByteArray::number(value, 'f', 6);
    while (text.endsWith('0') && !text.endsWith(".0"))
        text.chop(1);
    if (text == "-0.0")
        text = "0.0";
    return text;
}

QByteArray signedPlain(double value) {
    const QByteArray text = plain(value);
    return text.startsWith('-') ? text : "+" + text;
}

} // namespace sim::NumberText
