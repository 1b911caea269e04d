#pragma once

#include "gui/platform/Dialogs.h"

#include <QList>
#include <QQueue>
#include <functional>

namespace testing {

// Records every box and file dialog and answers from queues: Yes/No boxes take the next
// queued answer (No when the queue is empty, the safe default of every confirmation);
// save dialogs take the next queued choice (cancel when empty); progress dialogs record
// their values and report a cancel once a value reaches cancelProgressAt.
class FakeDialogs final : public platform::Dialogs {
public:
    struct Box {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
        Button defaultButton;
    };

    Button messageBox(const QString& title, const QString& text, Icon icon, Buttons buttons,
                      Button defaultButton) override;
    std::optional<SaveChoice> saveFile(const QString& title, const QString& suggestedPath,
                                       const QStringList& filters) override;
    std::unique_ptr<Progress> progress(const QString& title, const QString& text,
                                       int maximum) override;
    std::optional<QString> openFile(const QString& title, const QStringList&) override {
        openTitle = title;
        return openChoices.isEmpty() ? std::nullopt : openChoices.dequeue();
    }

    QList<Box> boxes;
    QQueue<Button> answers;
    QQueue<std::optional<SaveChoice>> saveChoices;
    QStringList saveFilters;
    QString saveTitle;
    QString saveSuggestion;
    QQueue<std::optional<QString>> openChoices; // open dialogs: cancel when empty
    QString openTitle;
    QList<int> progressValues;
    int progressMaximum = -1;
    int cancelProgressAt = -1; // never when negative
    // Runs on every progress value, as the window's events would (a reading arriving).
    std::function<void(int value)> onProgress;
    // The next box or save dialog stays open while this runs, as a person leaves a modal
    // dialog open: the test runs the event loop inside it, as the dialog's own loop would.
    std::function<void()> whileOpen;

private:
    void stayOpen();
};

} // namespace testing
