#include "FakeDialogs.h"

#include <utility>

namespace testing {

void FakeDialogs::stayOpen() {
    // Once: a box the test opens meanwhile closes at once.
    if (const std::function<void()> open = std::exchange(whileOpen, {}))
        open();
}

platform::Dialogs::Button FakeDialogs::messageBox(const QString& title, const QString& text,
                                                  Icon icon, Buttons buttons,
                                                  Button defaultButton) {
    boxes.append({title, text, icon, buttons, defaultButton});
    stayOpen();
    if (buttons == Buttons::Ok)
        return Button::Ok;
    return answers.isEmpty() ? Button::No : answers.dequeue();
}

std::optional<platform::Dialogs::SaveChoice> FakeDialogs::saveFile(const QString& title,
                                                                   const QString& suggestedPath,
                                                                   const QStringList& filters) {
    saveTitle = title;
    saveSuggestion = suggestedPath;
    saveFilters = filters;
    stayOpen();
    return saveChoices.isEmpty() ? std::nullopt : saveChoices.dequeue();
}

namespace {

class FakeProgress final : public platform::Dialogs::Progress {
public:
    explicit FakeProgress(FakeDialogs& dialogs) : dialogs_(dialogs) {}
    bool setValue(int value) override {
        dialogs_.progressValues.append(value);
        if (dialogs_.onProgress)
            dialogs_.onProgress(value);
        return dialogs_.cancelProgressAt < 0 || value < dialogs_.cancelProgressAt;
    }

private:
    FakeDialogs& dialogs_;
};

} // namespace

std::unique_ptr<platform::Dialogs::Progress> FakeDialogs::progress(const QString&, const QString&,
                                                                   int maximum) {
    progressMaximum = maximum;
    return std::make_unique<FakeProgress>(*this);
}

} // namespace testing
