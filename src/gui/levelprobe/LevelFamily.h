#pragma once

#include "Calibration.h"
#include "Filter.h"
#include "LevelCommands.h"
#include "LevelReplies.h"
#include "LevelScanSeries.h"
#include "LevelView.h"
#include "Reset.h"
#include "core/levelprobe/CalibrationState.h"
#include "core/levelprobe/LevelRecord.h"
#include "core/protocol/Family.h"
#include "gui/widgets/WindowControls.h"

#include <array>
#include <vector>

class QTreeWidget;

namespace logging {
class Logger;
}
namespace platform {
class Dialogs;
}
namespace sdilink {
class Link;
}

namespace levelprobe {

class LevelPage;

// The level-probe family: the page lock rules, the page move after an address change, the
// page's commands, the decoder branches of codes 0-39, its scan series and page re-query,
// its logging periods, calibration, reset and filter.
class LevelFamily final : public protocol::Family {
public:
    LevelFamily(std::array<LevelPage*, 10> pages, widgets::WindowControls window,
                logging::Logger& logger, CalibrationState& calibration, sdilink::Link& link,
                platform::Dialogs& dialogs, QTreeWidget* ListView);

    QString serialNumber(int p) const override { return record(p).serialNumber; }
    bool isRotary() const override { return false; }
    Code dataRequestCode() const override { return Code::Data; }
    Code measureCode() const override { return Code::Measure; }
    void lockPage(int page) override { LockLevelPage(page); }
    void unlockPage(int page) override { UnlockLevelPage(page); }
    bool decodeReply(const sdilink::Transaction& transaction,
                     const protocol::ReplyLine& line) override;
    std::optional<int> selectedAddress(int page) const override;
    void onAddressSet(AddressSet set) override;
    Code addressChangeCode() const override { return Code::AddressChange; }
    QCoro::Task<> finishAddressChange(int newPage) override;
    // Requests a page move left for the new address.
    bool moveFollowUpsPending() const { return !moveFollowUps_.empty(); }

    void LockLevelPage(int p);
    void UnlockLevelPage(int p);
    // Moves the record of the sensor at page p (its old address) to page q and shows it
    // there. What the new page's check boxes must tell the sensor is left for
    // finishAddressChange.
    void MoveLevelPage(int p, int q);

    // The record of the sensor at page p (its address).
    LevelRecord& record(int p) { return records_.at(static_cast<size_t>(p)); }
    const LevelRecord& record(int p) const { return records_.at(static_cast<size_t>(p)); }
    // Shows a field of page p's record on the page and in the sensor list.
    void show(int p, LevelField field) { view_.show(p, record(p), field); }
    // Empties a field whose request has gone.
    void clearField(int p, LevelField field);
    // Forgets what page p's sensor said (it no longer answers); its logging period stays.
    void forget(int p);
    // Rebuilds page p's logging-period list from its sample rate; a running log keeps its
    // period.
    void FillLogPeriods(int p);

    LevelPage& page(int p) const { return *pages_.at(static_cast<size_t>(p)); }
    LevelCommands& commands() { return commands_; }
    LevelReplies& replies() { return replies_; }
    LevelScanSeries& scanSeries() { return scanSeries_; }
    logging::Logger& logger() const { return logger_; }
    sdilink::Link& link() const { return link_; }
    QTreeWidget* ListView() const { return listView_; }
    CalibrationState& calibration() { return calibration_; }
    Calibration& calibrationMode() { return calibrationMode_; }
    Filter& filter() { return filter_; }
    Reset& reset() { return reset_; }
    platform::Dialogs& dialogs() const { return dialogs_; }
    const widgets::WindowControls& windowControls() const { return window_; }
    // The page shown, and whether a page's sensor answered the last scan.
    int currentPage() const;
    bool hasSensor(int p) const;

    // When true, the next programmatic change of a LocalOffsetCheck sends no command.
    bool LocalOffsetEchoGuard = false;

private:
    void setWindowControls(bool enabled);

    std::array<LevelPage*, 10> pages_;
    widgets::WindowControls window_;
    logging::Logger& logger_;
    sdilink::Link& link_;
    CalibrationState& calibration_;
    platform::Dialogs& dialogs_;
    QTreeWidget* listView_;
    std::array<LevelRecord, 10> records_;
    LevelView view_;
    LevelCommands commands_;
    LevelReplies replies_;
    LevelScanSeries scanSeries_;
    Calibration calibrationMode_;
    Filter filter_;
    Reset reset_;
    std::vector<void (LevelCommands::*)(int)> moveFollowUps_;
};

} // namespace levelprobe
