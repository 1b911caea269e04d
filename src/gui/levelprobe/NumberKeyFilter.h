#pragma once

#include <QObject>
#include <functional>

class QLineEdit;

namespace levelprobe {

// The filter of a number box: the characters it takes are digits and one "."; a signed
// box also takes one "-". A refused key beeps; refused characters of pasted or dropped
// text are left out with one beep. Editing and moving keys work as in any text box. A box
// may also get a "0" put in front of a leading "." when it loses the focus.
class NumberKeyFilter final : public QObject {
    Q_OBJECT
public:
    enum class Sign { Unsigned, Signed };
    enum class LeadingDot { Keep, AddZero };

    static void install(QLineEdit* box, Sign sign, LeadingDot dot, std::function<void()> beep);

    // Whether a character may be added to a box holding `text`.
    static bool accepts(QChar c, const QString& text, Sign sign);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit NumberKeyFilter(QLineEdit* box);

    QLineEdit* box_;
};

} // namespace levelprobe
