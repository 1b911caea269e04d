#include "LevelFamily.h"

#include "LevelPage.h"
#include "logging/LoggingState.h"
#include "platform/Controls.h"
#include "platform/DropDown.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace levelprobe {

using platform::setEnabled;

LevelFamily::LevelFamily(std::array<LevelPage*, 10> pages, protocol::WindowControls window,
                         const logging::LoggingState& logging, const CalibrationState& calibration)
    : pages_(pages), window_(window), logging_(logging), calibration_(calibration) {}

void LevelFamily::LockLevelPage(int p) {
    LevelPage& pg = page(p);
    setEnabled({pg.PressUnitsQueryBut, pg.TempUnitsQueryBut, pg.DensityCorrQueryBut,
                pg.LocalGravityQueryBut, pg.PressUnitsBut, pg.TempUnitsBut, pg.DensityCorrBut,
                pg.LocalGravityBut, pg.IDQueryBut, pg.AddressCombo, pg.PressUnitsCombo,
                pg.TempUnitsCombo, pg.DensityCorrCombo, pg.LocalGravityText, pg.SensorIDList},
               false);
    window_.ScanBut->setEnabled(false);
    setEnabled({window_.mnuCommsPort, window_.mnuQueryAddress, window_.mnuFilter, window_.mnuReset,
                window_.mnuHelp},
               false);
    setEnabled({pg.AddrBut, pg.StartLogBut, pg.LogPeriodCombo}, false);
    // The logging sensor's Stop Log stays usable during every transaction.
    if (logging_.LoggingSensor != 0)
        page(logging_.LoggingSensor - 1).StopLogBut->setEnabled(true);
    else
        pg.StopLogBut->setEnabled(false);
    setEnabled(
        {pg.RangeText,        pg.RangeQueryBut,        pg.RangeBut,         pg.MaxRangeBut,
         pg.MaxOverRangeText, pg.MaxOverRangeQueryBut, pg.LevelText,        pg.LevelBut,
         pg.ReverseCombo,     pg.ReverseBut,           pg.LocalOffsetCheck, pg.ApplyQueryBut,
         pg.UnlockQueryBut,   pg.UnlockCheck,          pg.SampleRateText,   pg.LevelOffsetText,
         pg.LevelOffsetBut,   pg.AutoZeroBut,          pg.SGText,           pg.SGBut},
        false);
    setEnabled({window_.mnuUserCommand}, false);
    setEnabled({pg.ClearOffsetsBut, pg.StageOneBut, pg.ZeroCalibrationBut, pg.SlopeCalibrationBut,
                pg.PressureBut, pg.CalibrationCompleteBut},
               false);
}

void LevelFamily::UnlockLevelPage(int p) {
    LevelPage& pg = page(p);
    setEnabled({pg.PressUnitsQueryBut, pg.TempUnitsQueryBut, pg.DensityCorrQueryBut,
                pg.LocalGravityQueryBut, pg.PressUnitsBut, pg.TempUnitsBut, pg.DensityCorrBut,
                pg.LocalGravityBut, pg.IDQueryBut, pg.AddressCombo, pg.PressUnitsCombo,
                pg.TempUnitsCombo, pg.DensityCorrCombo, pg.LocalGravityText, pg.SensorIDList},
               true);
    window_.SensorTab->setEnabled(true);
    window_.ScanBut->setEnabled(true);
    setEnabled({window_.mnuCommsPort, window_.mnuQueryAddress, window_.mnuFilter, window_.mnuReset,
                window_.mnuHelp},
               true);
    setEnabled({pg.AddrBut, pg.StartLogBut, pg.StopLogBut, pg.LogPeriodCombo}, true);
    // While any sensor logs, no page can change its address, start a second log or change
    // its period.
    if (logging_.LoggingSensor != 0) {
        for (LevelPage* other : pages_)
            setEnabled({other->AddrBut, other->StartLogBut, other->LogPeriodCombo}, false);
    }
    setEnabled(
        {pg.RangeText,        pg.RangeQueryBut,        pg.RangeBut,         pg.MaxRangeBut,
         pg.MaxOverRangeText, pg.MaxOverRangeQueryBut, pg.LevelText,        pg.LevelBut,
         pg.ReverseCombo,     pg.ReverseBut,           pg.LocalOffsetCheck, pg.ApplyQueryBut,
         pg.UnlockQueryBut,   pg.UnlockCheck,          pg.SampleRateText,   pg.LevelOffsetText,
         pg.LevelOffsetBut,   pg.AutoZeroBut,          pg.SGText,           pg.SGBut},
        true);
    setEnabled({window_.mnuUserCommand}, true);
    setEnabled({pg.ClearOffsetsBut, pg.StageOneBut}, true);
    // The stage-two calibration buttons follow stage one.
    if (calibration_.StageOne_Flag)
        setEnabled({pg.ZeroCalibrationBut, pg.SlopeCalibrationBut, pg.PressureBut,
                    pg.CalibrationCompleteBut},
                   true);
}

bool LevelFamily::decodeReply(int, qint16 code, const QString&, int) {
    // Codes 0-39 each have a branch; their effects on the page are added with the reply
    // handlers. Any other code has none.
    return code >= 0 && code <= 39;
}

} // namespace levelprobe
