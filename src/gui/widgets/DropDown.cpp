#include "DropDown.h"

#include <QAbstractItemView>
#include <QEvent>

namespace widgets {

DropDown::DropDown(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(10);
    // The list's window (which the size policy makes at once) is a child of the drop-down,
    // so an enable change of the drop-down, two around every request on a locked page,
    // would go through the list's nine widgets too. While closed the list is disabled on its
    // own, which leaves it out; it takes the drop-down's state when it opens.
    list_ = view()->window();
    list_->setEnabled(false);
    list_->installEventFilter(this);
}

void DropDown::showPopup() {
    list_->setEnabled(isEnabled());
    QComboBox::showPopup();
}

bool DropDown::eventFilter(QObject* watched, QEvent* event) {
    // However it closes: an entry chosen, Escape, a click elsewhere.
    if (watched == list_ && event->type() == QEvent::Hide)
        list_->setEnabled(false);
    return QComboBox::eventFilter(watched, event);
}

void DropDown::addEntry(const QString& text, int itemCode) {
    addItem(text, itemCode);
}

int DropDown::itemCode(int index) const {
    if (index < 0 || index >= count())
        return -1;
    bool ok = false;
    const int code = itemData(index).toInt(&ok);
    return ok ? code : -1;
}

void DropDown::setText(const QString& text) {
    setPlaceholderText(text);
    setCurrentIndex(-1);
}

QString DropDown::text() const {
    return currentIndex() >= 0 ? currentText() : placeholderText();
}

void DropDown::selectOrBlank(std::optional<int> index) {
    if (index && *index >= 0 && *index < count())
        setCurrentIndex(*index);
    else
        setText({});
}

} // namespace widgets
