#pragma once

#include <QByteArray>
#include <QtGlobal>

class QWidget;

namespace platform {
class Dialogs;
}
namespace sdilink {
class Link;
}

namespace levelprobe {

class LevelFamily;

// The requests a level-probe page sends: one handler per control, each working on the page
// whose control was used (the page index is the sensor's address digit).
class LevelCommands {
public:
    LevelCommands(LevelFamily& family, sdilink::Link& link, platform::Dialogs& dialogs);

    // Connects the controls of page p to their handlers.
    void connectPage(int p);

    // Builds the request of `code` for page p, locks the page (unless told not to), empties
    // the control that will show the answer, and sends it.
    void send(int p, qint16 code, const QByteArray& value = {}, QWidget* answerControl = nullptr,
              bool lock = true);

    // Check boxes: run when the value changes, by a click or by the program.
    void LocalOffsetCheck_Click(int p);
    void UnlockCheck_Click(int p);
    void LocalOffsetSet(int p, int digit);

private:
    LevelFamily& family_;
    sdilink::Link& link_;
    platform::Dialogs& dialogs_;
};

} // namespace levelprobe
