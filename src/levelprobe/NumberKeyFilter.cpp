#include "NumberKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace levelprobe {

NumberKeyFilter::NumberKeyFilter(QLineEdit* box, Sign sign, LeadingDot dot,
                                 std::function<void()> beep)
    : QObject(box), box_(box), sign_(sign), dot_(dot), beep_(std::move(beep)) {}

void NumberKeyFilter::install(QLineEdit* box, Sign sign, LeadingDot dot,
                              std::function<void()> beep) {
    box->installEventFilter(new NumberKeyFilter(box, sign, dot, std::move(beep)));
}

bool NumberKeyFilter::accepts(QChar c, const QString& text, Sign sign) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return true;
    if (u == 8 || u == 12 || u == 37 || u == 39)
        return true;
    if (u == '.')
        return !text.contains(QLatin1Char('.'));
    if (u == '-')
        return sign == Sign::Signed && !text.contains(QLatin1Char('-'));
    return false;
}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box_)
        return false;
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        // Keys that type nothing (arrows, Home, Delete, Tab) and shortcuts pass.
        if (typed.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        if (typed.size() == 1 && accepts(typed[0], box_->text(), sign_))
            return false;
        if (beep_)
            beep_();
        return true;
    }
    if (event->type() == QEvent::FocusOut && dot_ == LeadingDot::AddZero &&
        box_->text().startsWith(QLatin1Char('.')))
        box_->setText(QLatin1Char('0') + box_->text());
    return false;
}

} // namespace levelprobe
