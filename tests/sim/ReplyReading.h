#pragma once

// The reading rules the tool applies to a framed reply line (echo + answer, no CR LF),
// written out here on their own so the simulated sensors are checked against what the
// tool will read, not against their own formatting code. Positions are 1-based as in the
// tool's decoder; p is the position of the first "!".

#include <QString>
#include <QStringList>
#include <cmath>

namespace ReplyReading {

inline int p(const QString& line) {
    return static_cast<int>(line.indexOf(QLatin1Char('!'))) + 1;
}

inline QChar at(const QString& line, int position) {
    return position >= 1 && position <= line.size() ? line[position - 1] : QChar();
}

// Everything from a 1-based position to the end.
inline QString from(const QString& line, int position) {
    return line.mid(position - 1);
}

inline int digit(QChar c) {
    return c.isDigit() ? c.digitValue() : 0;
}

// "Signed text" of the level-probe branches: with a "+" anywhere the value starts after it.
inline QString signedText(const QString& line) {
    return line.contains(QLatin1Char('+')) ? from(line, p(line) + 3) : from(line, p(line) + 2);
}

// RoundIt: halves upwards, shown without trailing zeros.
inline QString roundIt(double value, int places) {
    const double f = std::pow(10.0, places);
    return QString::number(std::floor(value * f + 0.5) / f, 'g', 15);
}

// The pressure-unit code: one or two digits after the address.
inline int unitCode(const QString& line) {
    const int length = static_cast<int>(line.size()) - p(line);
    if (length == 2)
        return digit(at(line, p(line) + 2));
    if (length == 3)
        return 10 * digit(at(line, p(line) + 2)) + digit(at(line, p(line) + 3));
    return 0;
}

// The rotary answers may repeat the mnemonic; p then becomes the position of the repeated
// mnemonic + 1, so reading starts right after it.
inline int skipMnemonic(const QString& line, const QString& mnemonic) {
    const int found = static_cast<int>(line.indexOf(mnemonic, p(line) - 1));
    return found >= 0 ? found + 2 : p(line);
}

inline QString rotaryRest(const QString& line, int pos) {
    return from(line, pos + 2);
}

inline QString rotaryRestWithoutPlus(const QString& line, int pos) {
    QString rest = rotaryRest(line, pos);
    if (rest.contains(QLatin1Char('+')))
        rest.remove(0, 1);
    return rest;
}

// The identification answer as the four lines the tool shows.
inline QStringList identification(const QString& line) {
    const int q = p(line);
    return {QStringLiteral("SDI Version = %1.%2").arg(at(line, q + 2)).arg(at(line, q + 3)),
            QStringLiteral("Company Name = ") + line.mid(q + 3, 8),
            QStringLiteral("Sensor Model = ") + line.mid(q + 11, 6),
            QStringLiteral("Sensor Version = ") + line.mid(q + 17, 3)};
}

// The data answer of a level probe split into its two values.
inline QStringList dataValues(const QString& line) {
    const QString answer = from(line, p(line) + 2);
    qsizetype split = answer.lastIndexOf(QLatin1Char('-'));
    if (split < 1)
        split = answer.lastIndexOf(QLatin1Char('+'));
    QString first = split >= 1 ? answer.left(split) : answer;
    QString second = split >= 1 ? answer.mid(split) : QString();
    for (QString* v : {&first, &second})
        if (v->contains(QLatin1Char('+')))
            v->remove(0, 1);
    return {first, second};
}

} // namespace ReplyReading
