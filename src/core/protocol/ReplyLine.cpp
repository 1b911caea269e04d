#include "ReplyLine.h"

#include <cmath>

namespace protocol {

ReplyLine::ReplyLine(QString text) : text_(std::move(text)) {
    p_ = static_cast<int>(text_.indexOf(QLatin1Char('!'))) + 1;
}

QString ReplyLine::mid(int pos, int n) const {
    if (pos < 1 || pos > length() || n <= 0)
        return {};
    return text_.mid(pos - 1, n);
}

QString ReplyLine::from(int pos) const {
    if (pos < 1 || pos > length())
        return {};
    return text_.mid(pos - 1);
}

int ReplyLine::digitAt(int pos) const {
    if (pos < 1 || pos > length())
        return 0;
    const QChar c = text_.at(pos - 1);
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : 0;
}

int ReplyLine::digitsAt(int pos, int n) const {
    int value = 0;
    for (int i = 0; i < n; ++i)
        value = value * 10 + digitAt(pos + i);
    return value;
}

QString ReplyLine::signedText() const {
    const bool plus = from(p_ + 1).contains(QLatin1Char('+'));
    return from(p_ + (plus ? 3 : 2));
}

double RoundIt(double aNumberToRound, double aDecimalPlaces) {
    const double f = std::pow(10.0, aDecimalPlaces);
    const double result = std::floor(aNumberToRound * f + 0.5) / f;
    return std::isfinite(result) ? result : 0.0;
}

namespace {

// Plain text longer than this is written with an exponent.
constexpr qsizetype kLongestPlainNumber = 19;

QString withoutTrailingZeros(QString digits) {
    if (digits.contains(QLatin1Char('.'))) {
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        if (digits.endsWith(QLatin1Char('.')))
            digits.chop(1);
    }
    return digits;
}

} // namespace

QString plainNumberText(double value) {
    if (!std::isfinite(value) || value == 0.0)
        return QStringLiteral("0");
    QString text = QString::number(value, 'g', 15);
    // Written out in full while that stays short enough to read.
    if (text.contains(QLatin1Char('e'))) {
        const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
        text = withoutTrailingZeros(QString::number(value, 'f', std::max(0, 14 - exponent)));
    }
    if (text.size() <= kLongestPlainNumber)
        return text;
    const QString exponentForm = QString::number(value, 'e', 14);
    const qsizetype e = exponentForm.indexOf(QLatin1Char('e'));
    return withoutTrailingZeros(exponentForm.left(e)) + exponentForm.mid(e);
}

DataValues splitDataAnswer(const QString& answer) {
    qsizetype at = answer.lastIndexOf(QLatin1Char('-'));
    if (at < 1)
        at = answer.lastIndexOf(QLatin1Char('+'));
    DataValues values;
    if (at >= 1) {
        values.first = answer.left(at);
        values.second = answer.mid(at);
    } else {
        values.first = answer;
    }
    for (QString* v : {&values.first, &values.second})
        if (v->contains(QLatin1Char('+')))
            v->remove(0, 1);
    return values;
}

} // namespace protocol
