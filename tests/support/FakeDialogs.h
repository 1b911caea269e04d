#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QQueue>

namespace testing {

// Records every box and file dialog and answers from queues: Yes/No boxes take the next
// queued answer (No when the queue is empty, the safe default of every confirmation);
// save dialogs take the next queued choice (cancel when empty).
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

    QList<Box> boxes;
    QQueue<Button> answers;
    QQueue<std::optional<SaveChoice>> saveChoices;
    QStringList saveFilters;
};

} // namespace testing
