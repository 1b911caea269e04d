#pragma once

#include "gui/platform/Dialogs.h"

namespace sdilink {
class Link;
}

namespace app {

// The window's dialogs as the bus sees them: while a box or a file dialog waits for the
// person, sequences queued for the bus wait too (a log's readings go on), so that none
// starts under a question it may depend on. It also says, one box at a time, that a request
// could not go out because the port is closed.
class BusDialogs final : public platform::Dialogs {
public:
    BusDialogs(platform::Dialogs& dialogs, sdilink::Link& link);

    Button messageBox(const QString& title, const QString& text, Icon icon, Buttons buttons,
                      Button defaultButton) override;
    std::optional<SaveChoice> saveFile(const QString& title, const QString& suggestedPath,
                                       const QStringList& filters) override;
    std::unique_ptr<Progress> progress(const QString& title, const QString& text,
                                       int maximum) override;
    std::optional<QString> openFile(const QString& title, const QStringList& filters) override;

private:
    class Asking;
    void portClosed();

    platform::Dialogs& dialogs_;
    sdilink::Link& link_;
    bool portClosedShown_ = false;
};

} // namespace app
