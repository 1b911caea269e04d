#include "LevelFamily.h"

#include "LevelPage.h"
#include "LogPeriodList.h"
#include "core/link/Link.h"
#include "core/link/Transaction.h"
#include "core/logging/Logger.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DropDown.h"
#include "gui/widgets/SensorColumns.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTreeWidget>
#include <utility>

namespace levelprobe {

using widgets::LevelColumn;
using widgets::setEnabled;

LevelFamily::LevelFamily(LevelSensors& sensors, std::array<LevelPage*, 10> pages,
                         widgets::WindowControls window, platform::Dialogs& dialogs,
                         QTreeWidget* ListView)
    : sensors_(sensors), pages_(pages), window_(window), dialogs_(dialogs), listView_(ListView),
      view_(pages, ListView), commands_(*this, sensors.link(), dialogs), calibrationMode_(*this),
      filter_(*this), reset_(*this) {
    for (int p = 0; p < static_cast<int>(pages_.size()); ++p) {
        commands_.connectPage(p);
        calibrationMode_.connectPage(p);
        // The logging period is the tool's setting for the sensor, chosen on its page.
        widgets::DropDown* periods = pages_[static_cast<size_t>(p)]->LogPeriodCombo;
        const auto keep = [this, p, periods] { sensors_.record(p).logPeriod = periods->text(); };
        keep();
        QObject::connect(periods, &widgets::DropDown::currentTextChanged, periods, keep);
    }
    followSensors();
}

void LevelFamily::followSensors() {
    LevelSensors* s = &sensors_;
    QObject::connect(s, &LevelSensors::fieldChanged, listView_,
                     [this](int p, LevelField field) { view_.show(p, sensors_.record(p), field); });
    QObject::connect(s, &LevelSensors::recordReplaced, listView_,
                     [this](int p) { view_.showAll(p, sensors_.record(p)); });
    QObject::connect(s, &LevelSensors::flagsChanged, listView_, [this](int p) { showFlags(p); });
    QObject::connect(s, &LevelSensors::rowCleared, listView_,
                     [this](int p) { widgets::clearRowTexts(listView_, p); });
    QObject::connect(s, &LevelSensors::pageLockChanged, listView_, [this](int p, bool locked) {
        locked ? LockLevelPage(p) : UnlockLevelPage(p);
    });
    QObject::connect(s, &LevelSensors::filterAnswered, listView_,
                     [this](int, int readings, int interval, const QString& sampleRate) {
                         filter_.showFilter(readings, interval, sampleRate);
                     });
    QObject::connect(s, &LevelSensors::sampleRateChanged, listView_,
                     [this](int p) { FillLogPeriods(p); });
    QObject::connect(s, &LevelSensors::presenceChanged, listView_, [this](int p, bool present) {
        widgets::showSensorPresence(window_.SensorTab, p, present);
    });
    QObject::connect(s, &LevelSensors::moved, listView_,
                     [this](int p, int q) { MoveLevelPage(p, q); });
}

void LevelFamily::showFlags(int p) {
    // Quietly: a box acts only when the person changes it.
    LevelPage& pg = page(p);
    const QSignalBlocker quietOffset(pg.LocalOffsetCheck);
    const QSignalBlocker quietUnlock(pg.UnlockCheck);
    pg.LocalOffsetCheck->setChecked(sensors_.localOffsetTicked(p));
    pg.UnlockCheck->setChecked(sensors_.unlockTicked(p));
}

logging::Logger& LevelFamily::logger() const {
    return sensors_.logger();
}

sdilink::Link& LevelFamily::link() const {
    return sensors_.link();
}

CalibrationState& LevelFamily::calibration() const {
    return sensors_.calibration();
}

int LevelFamily::currentPage() const {
    return window_.SensorTab->currentIndex();
}

void LevelFamily::FillLogPeriods(int p) {
    levelprobe::FillLogPeriods(page(p), sensors_.record(p).sampleRateText(),
                               logger().state().LogActive.at(static_cast<size_t>(p)));
}

namespace {

// The page's controls the lock and unlock act on, in their order: the units, density,
// gravity and identification group; then, after the window's controls, the range, level,
// offset and specific-gravity group.
void setUnitsGroup(LevelPage& pg, bool enabled) {
    setEnabled({pg.PressUnitsQueryBut, pg.TempUnitsQueryBut, pg.DensityCorrQueryBut,
                pg.LocalGravityQueryBut, pg.PressUnitsBut, pg.TempUnitsBut, pg.DensityCorrBut,
                pg.LocalGravityBut, pg.IDQueryBut, pg.AddressCombo, pg.PressUnitsCombo,
                pg.TempUnitsCombo, pg.DensityCorrCombo, pg.LocalGravityText, pg.SensorIDList},
               enabled);
}

void setLevelGroup(LevelPage& pg, bool enabled) {
    setEnabled(
        {pg.RangeText,        pg.RangeQueryBut,        pg.RangeBut,         pg.MaxRangeBut,
         pg.MaxOverRangeText, pg.MaxOverRangeQueryBut, pg.LevelText,        pg.LevelBut,
         pg.ReverseCombo,     pg.ReverseBut,           pg.LocalOffsetCheck, pg.ApplyQueryBut,
         pg.UnlockQueryBut,   pg.UnlockCheck,          pg.SampleRateText,   pg.LevelOffsetText,
         pg.LevelOffsetBut,   pg.AutoZeroBut,          pg.SGText,           pg.SGBut},
        enabled);
}

} // namespace

void LevelFamily::setWindowControls(bool enabled) {
    window_.ScanBut->setEnabled(enabled);
    setEnabled({window_.mnuCommsPort, window_.mnuQueryAddress, window_.mnuFilter, window_.mnuReset,
                window_.mnuHelp},
               enabled);
    filter_.setEnabled(enabled);
}

void LevelFamily::LockLevelPage(int p) {
    LevelPage& pg = page(p);
    setUnitsGroup(pg, false);
    setWindowControls(false);
    setEnabled({pg.AddrBut, pg.StartLogBut, pg.LogPeriodCombo}, false);
    // The logging sensor's Stop Log stays usable during every transaction.
    if (logger().state().loggingPage)
        page(*logger().state().loggingPage).StopLogBut->setEnabled(true);
    else
        pg.StopLogBut->setEnabled(false);
    setLevelGroup(pg, false);
    setEnabled({window_.mnuUserCommand}, false);
    setEnabled({pg.ClearOffsetsBut, pg.StageOneBut, pg.ZeroCalibrationBut, pg.SlopeCalibrationBut,
                pg.PressureBut, pg.CalibrationCompleteBut},
               false);
}

void LevelFamily::UnlockLevelPage(int p) {
    LevelPage& pg = page(p);
    setUnitsGroup(pg, true);
    window_.SensorTab->setEnabled(true);
    setWindowControls(true);
    setEnabled({pg.AddrBut, pg.StartLogBut, pg.StopLogBut, pg.LogPeriodCombo}, true);
    // While any sensor logs, no page can change its address, start a second log or change
    // its period.
    if (logger().state().loggingPage) {
        for (LevelPage* other : pages_)
            setEnabled({other->AddrBut, other->StartLogBut, other->LogPeriodCombo}, false);
    }
    setLevelGroup(pg, true);
    setEnabled({window_.mnuUserCommand}, true);
    setEnabled({pg.ClearOffsetsBut, pg.StageOneBut}, true);
    // The stage-two calibration buttons follow stage one.
    if (calibration().stageOneDone(p))
        setEnabled({pg.ZeroCalibrationBut, pg.SlopeCalibrationBut, pg.PressureBut,
                    pg.CalibrationCompleteBut},
                   true);
}

std::optional<int> LevelFamily::selectedAddress(int p) const {
    return page(p).AddressCombo->selectedIndex();
}

void LevelFamily::onAddressSet(std::function<void(int page)> set) {
    for (int p = 0; p <= 9; ++p)
        QObject::connect(page(p).AddrBut, &QPushButton::clicked, page(p).AddrBut,
                         [set, p] { set(p); });
}

void LevelFamily::MoveLevelPage(int p, int q) {
    LevelPage& from = page(p);
    LevelPage& to = page(q);
    from.AddressCombo->setText(QStringLiteral("Select....."));
    const QString period = sensors_.record(q).logPeriod;
    widgets::setCell(listView_, q, LevelColumn::LogStatus,
                     widgets::cell(listView_, p, LevelColumn::LogStatus));
    widgets::clearRowTexts(listView_, p);

    window_.SensorTab->setCurrentIndex(q);

    // The new page offers the periods of the sensor's sample rate, with its period chosen.
    FillLogPeriods(q);
    to.LogPeriodCombo->setCurrentIndex(to.LogPeriodCombo->findText(period));
    from.LogPeriodCombo->clear();
}

} // namespace levelprobe
