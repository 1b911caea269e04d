#pragma once

#include "core/link/Code.h"
#include "core/rotary/RotaryRecord.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

class QWidget;

namespace platform {
class Dialogs;
}
namespace sdilink {
class Link;
}

namespace rotary {

using sdilink::Code;

class RotaryFamily;
class RotarySensors;

// What an encoder page's controls do: one handler per control, each taking the control's
// value to the sensors' request for the page whose control was used (the page index is the
// encoder's address digit), refusing with a box what cannot be sent.
class RotaryCommands {
public:
    RotaryCommands(RotaryFamily& family, sdilink::Link& link, platform::Dialogs& dialogs);

    // Connects the controls of page p to their handlers and key filters.
    void connectPage(int p);

    // Queries.
    void QueryRotaryMeasurementUnitsBut_Click(int p);
    void QueryRotaryPulleyCircumfBut_Click(int p);
    void QueryRotaryDirectionBut_Click(int p);
    void QueryRotaryCountsPerRevBut_Click(int p);
    void QueryRotaryCurrentValueBut_Click(int p);
    void RotaryIDQueryBut_Click(int p);

    // Sets.
    void RotaryMeasurementUnitsBut_Click(int p);
    void RotaryDirectionBut_Click(int p);
    void RotaryPulleyCircumBut_Click(int p);
    void RotaryCurrentValueBut_Click(int p);
    void RotarySetZeroBut_Click(int p);

    // Whether a character may be added to a circumference or current-value box holding
    // `text`: digits, one "." and one sign.
    static bool acceptsNumberCharacter(QChar c, const QString& text);

private:
    RotarySensors& sensors() const;
    // The selected index of a list; refuses (with a box) when nothing is selected.
    std::optional<int> selection(int index, const QString& title, const QString& what);

    RotaryFamily& family_;
    sdilink::Link& link_;
    platform::Dialogs& dialogs_;
};

} // namespace rotary
