#pragma once

#include "core/link/Code.h"

#include "core/levelprobe/LevelRecord.h"

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

namespace levelprobe {

using sdilink::Code;

class LevelFamily;
class LevelSensors;

// What a level-probe page's controls do: one handler per control, each taking the control's
// value to the sensors' request for the page whose control was used (the page index is the
// sensor's address digit), refusing with a box what cannot be sent.
class LevelCommands {
public:
    LevelCommands(LevelFamily& family, sdilink::Link& link, platform::Dialogs& dialogs);

    // Connects the controls of page p to their handlers and key filters.
    void connectPage(int p);

    // Queries.
    void PressUnitsQueryBut_Click(int p);
    void TempUnitsQueryBut_Click(int p);
    void DensityCorrQueryBut_Click(int p);
    void LocalGravityQueryBut_Click(int p);
    void IDQueryBut_Click(int p);
    void RangeQueryBut_Click(int p);
    void MaxOverRangeQueryBut_Click(int p);
    void ReverseQueryBut_Click(int p);
    void LevelQueryBut_Click(int p);
    void ApplyQueryBut_Click(int p);
    void UnlockQueryBut_Click(int p);

    // Sets.
    void PressUnitsBut_Click(int p);
    void TempUnitsBut_Click(int p);
    void DensityCorrBut_Click(int p);
    void LocalGravityBut_Click(int p);
    void RangeBut_Click(int p);
    void MaxRangeBut_Click(int p);
    void ReverseBut_Click(int p);
    void LevelBut_Click(int p);
    void SGBut_Click(int p);
    void LevelOffsetBut_Click(int p);
    // Both ask first. Auto zero is answered like a measurement; clearing the offsets is
    // followed by a new reading.
    void AutoZeroBut_Click(int p);
    void ClearOffsetsBut_Click(int p);
    // Check boxes: run when their value changes other than by the views, which show the
    // sensors' flags quietly.
    void LocalOffsetCheck_Click(int p);
    void UnlockCheck_Click(int p);

private:
    // The selected index of a list as the request's digit; refuses (with a box) when
    // nothing is selected.
    std::optional<int> selection(int index, const QString& title, const QString& what);
    void lockWarning(int p, const QString& title, const QString& what);

    LevelSensors& sensors() const;

    LevelFamily& family_;
    sdilink::Link& link_;
    platform::Dialogs& dialogs_;
};

} // namespace levelprobe
