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

// The requests a level-probe page sends: one handler per control, each working on the page
// whose control was used (the page index is the sensor's address digit).
class LevelCommands {
public:
    LevelCommands(LevelFamily& family, sdilink::Link& link, platform::Dialogs& dialogs);

    // Connects the controls of page p to their handlers and key filters.
    void connectPage(int p);

    // Builds the request of `code` for page p, locks the page (unless told not to), empties
    // the record's field the answer will fill, and sends it.
    void send(int p, Code code, const QByteArray& value = {},
              std::optional<LevelField> cleared = std::nullopt, bool lock = true);

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
    void SerialNumberQuery(int p);
    void SGQuery(int p);
    void ZeroCalibrationQuery(int p);
    void SlopeCalibrationQuery(int p);
    void FilterQuery(int p);

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
    // Check boxes: run when the value changes, by a click or by the program.
    void LocalOffsetCheck_Click(int p);
    void UnlockCheck_Click(int p);

    // The query of a setting's code, as its Query button sends it.
    void query(int p, Code code);
    // Sets from a value rather than a control, as the Set buttons send them: Apply
    // Configuration and the sequences use these, and leave the page's controls alone.
    void PressUnitsSet(int p, int unitCode);
    void TempUnitsSet(int p, int index);
    void LocalGravitySet(int p, const QString& text);
    void RangeSet(int p, const QString& text);
    void MaxOverRangeSet(int p, const QString& text);
    void LevelSet(int p, const QString& text);

    // Operations the calibration and reset sequences use.
    void DensityCorrSet(int p, int digit);
    void ReverseSet(int p, int digit);
    void LocalOffsetSet(int p, int digit);
    void SGSet(int p, const QString& text);
    void XU1Set(int p, const QString& text);
    // The zero correction (aXANCLV0,v!) and the slope (aXANCLV1,v!).
    void ZeroCalibrationSet(int p, const QString& text);
    void SlopeCalibrationSet(int p, const QString& text);
    void TrimOffSet(int p);
    void TrimOnSet(int p, int digit);
    void XancalonSet(int p);
    // Sends nothing for values the request cannot hold (readings 0-99, interval 0-9999).
    void FilterSet(int p, int readings, int interval);

    // The value sent for a specific gravity: the reciprocal rounded to 6 places, as plain
    // text; empty for a text that is no number greater than zero.
    static std::optional<QString> reciprocalText(const QString& specificGravity);

    sdilink::Link& link() { return link_; }

private:
    // The selected index of a list as the request's digit; refuses (with a box) when
    // nothing is selected.
    std::optional<int> selection(int index, const QString& title, const QString& what);
    void lockWarning(int p, const QString& title, const QString& what);

    LevelFamily& family_;
    sdilink::Link& link_;
    platform::Dialogs& dialogs_;
};

} // namespace levelprobe
