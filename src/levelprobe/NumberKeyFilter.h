#pragma once

#include <QObject>
#include <functional>

class QLineEdit;

namespace levelprobe {

// The key filter of a number box: digits, one ".", backspace and the characters with codes
// 12, 37 ("%") and 39 ("'"); a signed box also takes one "-". A refused key beeps. A box
// may also get a "0" put in front of a leading "." when it loses the focus.
class NumberKeyFilter final : public QObject {
    Q_OBJECT
public:
    enum class Sign { Unsigned, Signed };
    enum class LeadingDot { Keep, AddZero };

    static void install(QLineEdit* box, Sign sign, LeadingDot dot, std::function<void()> beep);

    // Whether a typed character is taken by a box holding `text`.
    static bool accepts(QChar c, const QString& text, Sign sign);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    NumberKeyFilter(QLineEdit* box, Sign sign, LeadingDot dot, std::function<void()> beep);

    QLineEdit* box_;
    Sign sign_;
    LeadingDot dot_;
    std::function<void()> beep_;
};

} // namespace levelprobe
