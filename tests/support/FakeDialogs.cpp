#include "FakeDialogs.h"

namespace testing {

platform::Dialogs::Button FakeDialogs::messageBox(const QString& title, const QString& text,
                                                  Icon icon, Buttons buttons,
                                                  Button defaultButton) {
    boxes.append({title, text, icon, buttons, defaultButton});
    if (buttons == Buttons::Ok)
        return Button::Ok;
    return answers.isEmpty() ? Button::No : answers.dequeue();
}

std::optional<platform::Dialogs::SaveChoice> FakeDialogs::saveFile(const QString&, const QString&,
                                                                   const QStringList& filters) {
    saveFilters = filters;
    return saveChoices.isEmpty() ? std::nullopt : saveChoices.dequeue();
}

} // namespace testing
