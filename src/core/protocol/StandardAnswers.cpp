#include "StandardAnswers.h"

#include "ReplyLine.h"

namespace protocol {

namespace {

// The address digit at position pos, -1 for anything else.
int addressAt(const ReplyLine& line, int pos) {
    const QString a = line.mid(pos, 1);
    return a.size() == 1 && a[0] >= QLatin1Char('0') && a[0] <= QLatin1Char('9')
               ? a[0].unicode() - '0'
               : -1;
}

} // namespace

StandardAnswers::AddressChange StandardAnswers::addressChange(const ReplyLine& line) {
    // The echoed request aAb! ends at the line's last "!".
    const int lastBang = static_cast<int>(line.text().lastIndexOf(QLatin1Char('!'))) + 1;
    return {addressAt(line, lastBang - 3), addressAt(line, lastBang - 1)};
}

StandardAnswers::Measurement StandardAnswers::measurement(const ReplyLine& line) {
    const int p = line.p();
    return {line.digitsAt(p + 2, 3), line.digitAt(p + 5)};
}

QStringList StandardAnswers::identification(const ReplyLine& line) {
    const int p = line.p();
    return {QStringLiteral("SDI Version = ") + line.mid(p + 2, 1) + QLatin1Char('.') +
                line.mid(p + 3, 1),
            QStringLiteral("Company Name = ") + line.mid(p + 4, 8),
            QStringLiteral("Sensor Model = ") + line.mid(p + 12, 6),
            QStringLiteral("Sensor Version = ") + line.mid(p + 18, 3)};
}

} // namespace protocol
