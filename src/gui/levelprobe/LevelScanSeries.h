#pragma once

#include "core/protocol/ScanSeries.h"

namespace levelprobe {

class LevelCommands;
class LevelFamily;

// The level-probe family's part in a scan (fifteen queries, then aM!) and the re-read of a
// page after its pressure unit was changed.
class LevelScanSeries final : public protocol::ScanSeries {
public:
    explicit LevelScanSeries(LevelFamily& family) : family_(family) {}

    int length() const override;
    QCoro::Task<bool> query(int page, int step) override;
    void addressFound(int page) override;
    void addressDone(int page) override;
    QCoro::Task<> seriesComplete(int page) override;
    void clearRow(int page) override;
    void selectRow(int page) override;

    // Re-reads the settings that depend on the pressure unit after it was changed.
    QCoro::Task<> RequeryLevelPage(int page);

private:
    QCoro::Task<bool> ask(void (LevelCommands::*query)(int), int page);

    LevelFamily& family_;
};

} // namespace levelprobe
