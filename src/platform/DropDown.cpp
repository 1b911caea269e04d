#include "DropDown.h"

namespace platform {

DropDown::DropDown(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(10);
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

} // namespace platform
