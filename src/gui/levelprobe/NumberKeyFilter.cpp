#include "NumberKeyFilter.h"

#include "core/protocol/Settings.h"
#include "gui/widgets/CharacterFilter.h"

#include <QEvent>
#include <QLineEdit>

namespace levelprobe {

NumberKeyFilter::NumberKeyFilter(QLineEdit* box) : QObject(box), box_(box) {}

void NumberKeyFilter::install(QLineEdit* box, Sign sign, LeadingDot dot,
                              std::function<void()> beep) {
    widgets::CharacterFilter::install(
        box, [sign](QChar c, const QString& text) { return accepts(c, text, sign); },
        std::move(beep));
    if (dot == LeadingDot::AddZero)
        box->installEventFilter(new NumberKeyFilter(box));
}

bool NumberKeyFilter::accepts(QChar c, const QString& text, Sign sign) {
    return protocol::numberCharacterFits(c, text,
                                         sign == Sign::Signed ? protocol::NumberRule::Signed
                                                              : protocol::NumberRule::Unsigned);
}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::FocusOut &&
        box_->text().startsWith(QLatin1Char('.')))
        box_->setText(QLatin1Char('0') + box_->text());
    return false;
}

} // namespace levelprobe
