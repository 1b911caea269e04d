#pragma once

#include "CalibrationState.h"
#include "protocol/Family.h"
#include "protocol/WindowControls.h"

#include <array>

namespace logging {
struct LoggingState;
}

namespace levelprobe {

class LevelPage;

// The level-probe family: the page lock rules and the decoder branches of codes 0-39.
class LevelFamily final : public protocol::Family {
public:
    LevelFamily(std::array<LevelPage*, 10> pages, protocol::WindowControls window,
                const logging::LoggingState& logging, const CalibrationState& calibration);

    bool isRotary() const override { return false; }
    qint16 dataRequestCode() const override { return 12; }
    void lockPage(int page) override { LockLevelPage(page); }
    void unlockPage(int page) override { UnlockLevelPage(page); }
    bool decodeReply(int tab, qint16 code, const QString& line, int p) override;

    void LockLevelPage(int p);
    void UnlockLevelPage(int p);

    LevelPage& page(int p) const { return *pages_.at(static_cast<size_t>(p)); }

    // When true, the next programmatic change of a LocalOffsetCheck sends no command.
    bool LocalOffsetEchoGuard = false;

private:
    std::array<LevelPage*, 10> pages_;
    protocol::WindowControls window_;
    const logging::LoggingState& logging_;
    const CalibrationState& calibration_;
};

} // namespace levelprobe
