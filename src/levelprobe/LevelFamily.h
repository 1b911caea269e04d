#pragma once

#include "CalibrationState.h"
#include "LevelCommands.h"
#include "LevelHooks.h"
#include "LevelReplies.h"
#include "protocol/Family.h"
#include "protocol/WindowControls.h"

#include <array>

class QTreeWidget;

namespace logging {
struct LoggingState;
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
// page's commands and the decoder branches of codes 0-39.
class LevelFamily final : public protocol::Family {
public:
    LevelFamily(std::array<LevelPage*, 10> pages, protocol::WindowControls window,
                const logging::LoggingState& logging, CalibrationState& calibration,
                sdilink::Link& link, platform::Dialogs& dialogs, QTreeWidget* ListView,
                LevelHooks hooks);

    bool isRotary() const override { return false; }
    qint16 dataRequestCode() const override { return 12; }
    void lockPage(int page) override { LockLevelPage(page); }
    void unlockPage(int page) override { UnlockLevelPage(page); }
    bool decodeReply(int tab, qint16 code, const protocol::ReplyLine& line) override;

    void LockLevelPage(int p);
    void UnlockLevelPage(int p);
    // Moves everything shown for a sensor from page p (its old address) to page q.
    void MoveLevelPage(int p, int q);

    LevelPage& page(int p) const { return *pages_.at(static_cast<size_t>(p)); }
    LevelCommands& commands() { return commands_; }
    LevelReplies& replies() { return replies_; }
    const LevelHooks& hooks() const { return hooks_; }
    QTreeWidget* ListView() const { return listView_; }
    CalibrationState& calibration() { return calibration_; }

    // When true, the next programmatic change of a LocalOffsetCheck sends no command.
    bool LocalOffsetEchoGuard = false;

private:
    void setWindowControls(bool enabled);

    std::array<LevelPage*, 10> pages_;
    protocol::WindowControls window_;
    const logging::LoggingState& logging_;
    CalibrationState& calibration_;
    QTreeWidget* listView_;
    LevelHooks hooks_;
    LevelCommands commands_;
    LevelReplies replies_;
};

} // namespace levelprobe
