#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace protocol {

// One framed reply line: the echo of the request followed by the sensor's answer, e.g.
// 3XUP!312. Positions count from 1; p is the position of the first "!" (the end of the
// echo), so p+1 is the sensor's address in its answer. Positions beyond the end read as
// empty text or 0.
class ReplyLine {
public:
    explicit ReplyLine(QString text);

    const QString& text() const { return text_; }
    int length() const { return static_cast<int>(text_.size()); }
    // Position of the first "!", 0 when there is none.
    int p() const { return p_; }

    // n characters from position pos (fewer at the end of the line).
    QString mid(int pos, int n) const;
    // Everything from position pos on.
    QString from(int pos) const;
    // The digit at position pos; anything else (a letter, the end of the line) gives 0.
    int digitAt(int pos) const;
    // A number written as digits at positions pos .. pos+n-1, each read as digitAt().
    int digitsAt(int pos, int n) const;

    // The sensor's signed value after its address: a leading "+" dropped, a "-" kept.
    // Only the answer is searched for the "+", never the echoed request.
    QString signedText() const;

private:
    QString text_;
    int p_ = 0;
};

// Rounds halves upwards (towards positive infinity, also for negative numbers) to the given
// number of decimal places; anything that is not a finite result gives 0.
double RoundIt(double aNumberToRound, double aDecimalPlaces);

// The shortest text of a number the tool computed: at most 15 significant digits, "." as
// the decimal point, no trailing zeros (2.5, 3, 0.97561, -0.25, 0.0000001). A number whose
// plain text would reach 20 characters is written with an exponent instead
// (8.33333333333333e-302, 1e+20).
QString plainNumberText(double value);

// The two values of a data answer such as +12.345+21.5: split at the last sign that is not
// the first character; a "+" is dropped, a "-" kept. The second value is empty when the
// answer holds one value.
struct DataValues {
    QString first;
    QString second;
};
DataValues splitDataAnswer(const QString& answer);

} // namespace protocol
