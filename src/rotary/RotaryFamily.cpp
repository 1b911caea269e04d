#include "RotaryFamily.h"

#include "RotaryPage.h"
#include "logging/LoggingState.h"
#include "platform/Controls.h"
#include "platform/DropDown.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace rotary {

using platform::setEnabled;

RotaryFamily::RotaryFamily(std::array<RotaryPage*, 10> pages, platform::WindowControls window,
                           const logging::LoggingState& logging)
    : pages_(pages), window_(window), logging_(logging) {}

void RotaryFamily::setPageControls(int p, bool enabled) {
    RotaryPage& pg = page(p);
    setEnabled({pg.RotaryAddrBut, pg.RotaryCountsPerRevBut, pg.RotaryMeasurementUnitsBut,
                pg.RotaryPulleyCircumBut, pg.RotaryDirectionBut, pg.RotarySetZeroBut,
                pg.RotaryCurrentValueBut, pg.RotaryStartLogBut},
               enabled);
    // The unlock enables the page's Stop Log with the rest; the lock leaves it to the
    // logging rule.
    if (enabled)
        pg.RotaryStopLogBut->setEnabled(true);
    setEnabled({pg.RotaryIDQueryBut, pg.RotaryAddressCombo, pg.RotaryMaxRangeText,
                pg.RotaryCountsPerRevText, pg.RotaryMeasurementResText,
                pg.RotaryMeasurementUnitsCombo, pg.RotaryPulleyCircumText, pg.RotaryDirectionCombo,
                pg.RotaryCurrentValueText, pg.RotaryLogPeriodCombo, pg.RotarySensorIDList},
               enabled);
}

void RotaryFamily::LockRotaryPage(int p) {
    setPageControls(p, false);
    window_.ScanBut->setEnabled(false);
    setEnabled(
        {window_.mnuCommsPort, window_.mnuQueryAddress, window_.mnuHelp, window_.mnuUserCommand},
        false);
    // The logging sensor's Stop Log stays usable during every transaction.
    if (logging_.LoggingSensor != 0)
        page(logging_.LoggingSensor - 1).RotaryStopLogBut->setEnabled(true);
    else
        page(p).RotaryStopLogBut->setEnabled(false);
}

void RotaryFamily::UnlockRotaryPage(int p) {
    setPageControls(p, true);
    window_.SensorTab->setEnabled(true);
    window_.ScanBut->setEnabled(true);
    setEnabled(
        {window_.mnuCommsPort, window_.mnuQueryAddress, window_.mnuHelp, window_.mnuUserCommand},
        true);
    // While a sensor logs, no page can change its address, start a second log or change its
    // period.
    if (logging_.LoggingSensor != 0) {
        for (RotaryPage* other : pages_)
            setEnabled(
                {other->RotaryAddrBut, other->RotaryStartLogBut, other->RotaryLogPeriodCombo},
                false);
    }
}

} // namespace rotary
