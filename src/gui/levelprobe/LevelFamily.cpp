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

LevelFamily::LevelFamily(std::array<LevelPage*, 10> pages, widgets::WindowControls window,
                         logging::Logger& logger, CalibrationState& calibration,
                         sdilink::Link& link, platform::Dialogs& dialogs, QTreeWidget* ListView)
    : pages_(pages), window_(window), logger_(logger), link_(link), calibration_(calibration),
      dialogs_(dialogs), listView_(ListView), view_(pages, ListView),
      commands_(*this, link, dialogs), replies_(*this, link, dialogs), scanSeries_(*this),
      calibrationMode_(*this), filter_(*this), reset_(*this) {
    for (int p = 0; p < static_cast<int>(pages_.size()); ++p) {
        commands_.connectPage(p);
        calibrationMode_.connectPage(p);
        // The logging period is the tool's setting for the sensor, chosen on its page.
        widgets::DropDown* periods = pages_[static_cast<size_t>(p)]->LogPeriodCombo;
        const auto keep = [this, p, periods] { record(p).logPeriod = periods->text(); };
        keep();
        QObject::connect(periods, &widgets::DropDown::currentTextChanged, periods, keep);
    }
}

void LevelFamily::clearField(int p, LevelField field) {
    record(p).clear(field);
    show(p, field);
}

void LevelFamily::forget(int p) {
    LevelRecord& r = record(p);
    const QString period = r.logPeriod;
    r = LevelRecord{};
    r.logPeriod = period;
    view_.showAll(p, r);
    widgets::clearRowTexts(listView_, p);
}

int LevelFamily::currentPage() const {
    return window_.SensorTab->currentIndex();
}

bool LevelFamily::hasSensor(int p) const {
    return window_.SensorTab->isTabEnabled(p);
}

bool LevelFamily::decodeReply(const sdilink::Transaction& transaction,
                              const protocol::ReplyLine& line) {
    return replies_.decode(transaction, line);
}

void LevelFamily::FillLogPeriods(int p) {
    levelprobe::FillLogPeriods(page(p), logger_.state().LogActive.at(static_cast<size_t>(p)));
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
    if (logger_.state().loggingPage)
        page(*logger_.state().loggingPage).StopLogBut->setEnabled(true);
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
    if (logger_.state().loggingPage) {
        for (LevelPage* other : pages_)
            setEnabled({other->AddrBut, other->StartLogBut, other->LogPeriodCombo}, false);
    }
    setLevelGroup(pg, true);
    setEnabled({window_.mnuUserCommand}, true);
    setEnabled({pg.ClearOffsetsBut, pg.StageOneBut}, true);
    // The stage-two calibration buttons follow stage one.
    if (calibration_.stageOneDone(p))
        setEnabled({pg.ZeroCalibrationBut, pg.SlopeCalibrationBut, pg.PressureBut,
                    pg.CalibrationCompleteBut},
                   true);
}

std::optional<int> LevelFamily::selectedAddress(int p) const {
    return page(p).AddressCombo->selectedIndex();
}

void LevelFamily::onAddressSet(AddressSet set) {
    for (int p = 0; p <= 9; ++p)
        QObject::connect(page(p).AddrBut, &QPushButton::clicked, page(p).AddrBut,
                         [set, p] { set(p); });
}

QCoro::Task<> LevelFamily::finishAddressChange(int q) {
    const auto followUps = std::exchange(moveFollowUps_, {});
    for (const auto send : followUps)
        if (!co_await link_.transact([&] { (commands_.*send)(q); }))
            co_return; // its time-out has unlocked the page
    // A local offset sent last is followed by a reading, whose end unlocks the page.
    if (!link_.followUpPending())
        UnlockLevelPage(q);
}

void LevelFamily::MoveLevelPage(int p, int q) {
    LevelPage& from = page(p);
    LevelPage& to = page(q);
    from.AddressCombo->setText(QStringLiteral("Select....."));
    const QString period = record(p).logPeriod;
    record(q) = std::exchange(record(p), LevelRecord{});
    view_.showAll(q, record(q));
    view_.showAll(p, record(p));
    widgets::setCell(listView_, q, LevelColumn::LogStatus,
                     widgets::cell(listView_, p, LevelColumn::LogStatus));
    widgets::clearRowTexts(listView_, p);

    // The check boxes act on a change of value: moving a ticked local offset onto an
    // unticked box sends nothing, an unticked one onto a ticked box sends it, and a changed
    // unlock state is sent to the new address. Those requests go out after the move.
    moveFollowUps_.clear();
    if (to.UnlockCheck->isChecked() != from.UnlockCheck->isChecked())
        moveFollowUps_.push_back(&LevelCommands::UnlockCheck_Click);
    if (to.LocalOffsetCheck->isChecked() && !from.LocalOffsetCheck->isChecked())
        moveFollowUps_.push_back(&LevelCommands::LocalOffsetCheck_Click);
    {
        const QSignalBlocker quietOffset(to.LocalOffsetCheck);
        const QSignalBlocker quietUnlock(to.UnlockCheck);
        to.LocalOffsetCheck->setChecked(from.LocalOffsetCheck->isChecked());
        to.UnlockCheck->setChecked(from.UnlockCheck->isChecked());
    }

    window_.SensorTab->setTabEnabled(q, true);
    window_.SensorTab->setTabEnabled(p, false);
    window_.SensorTab->setCurrentIndex(q);

    // The new page offers the periods of the sensor's sample rate, with its period chosen.
    FillLogPeriods(q);
    to.LogPeriodCombo->setCurrentIndex(to.LogPeriodCombo->findText(period));
    from.LogPeriodCombo->clear();

    logger_.moveLog(p, q);
}

} // namespace levelprobe
