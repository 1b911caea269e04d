#include "BusDialogs.h"

#include "core/link/Link.h"

namespace app {

// Holds queued sequences for as long as it lives.
class BusDialogs::Asking {
public:
    explicit Asking(sdilink::Link& link) : link_(link) { link_.holdSequences(true); }
    ~Asking() { link_.holdSequences(false); }
    Asking(const Asking&) = delete;
    Asking& operator=(const Asking&) = delete;

private:
    sdilink::Link& link_;
};

BusDialogs::BusDialogs(platform::Dialogs& dialogs, sdilink::Link& link)
    : dialogs_(dialogs), link_(link) {
    QObject::connect(&link_, &sdilink::Link::portClosed, &link_, [this] { portClosed(); });
}

platform::Dialogs::Button BusDialogs::messageBox(const QString& title, const QString& text,
                                                 Icon icon, Buttons buttons, Button defaultButton) {
    const Asking asking(link_);
    return dialogs_.messageBox(title, text, icon, buttons, defaultButton);
}

std::optional<platform::Dialogs::SaveChoice> BusDialogs::saveFile(const QString& title,
                                                                  const QString& suggestedPath,
                                                                  const QStringList& filters) {
    const Asking asking(link_);
    return dialogs_.saveFile(title, suggestedPath, filters);
}

std::unique_ptr<platform::Dialogs::Progress>
BusDialogs::progress(const QString& title, const QString& text, int maximum) {
    return dialogs_.progress(title, text, maximum);
}

std::optional<QString> BusDialogs::openFile(const QString& title, const QStringList& filters) {
    const Asking asking(link_);
    return dialogs_.openFile(title, filters);
}

void BusDialogs::portClosed() {
    // One box at a time: requests made while it is shown (a log's ticks) add none.
    if (portClosedShown_)
        return;
    portClosedShown_ = true;
    messageBox(QStringLiteral("Connection."), QStringLiteral("Unable to connect to comm port."),
               Icon::Exclamation, Buttons::Ok, Button::Ok);
    portClosedShown_ = false;
}

} // namespace app
