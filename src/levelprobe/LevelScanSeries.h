#pragma once

#include "protocol/ScanSeries.h"

namespace levelprobe {

class LevelCommands;
class LevelFamily;

// The level-probe family's part in a scan (fifteen queries, then aM!) and the re-read of a
// page after its pressure unit was changed.
class LevelScanSeries final : public protocol::ScanSeries {
public:
    explicit LevelScanSeries(LevelFamily& family) : family_(family) {}

    int length() const override;
    bool query(int page, int step) override;
    void addressFound(int page) override;
    void addressDone(int page) override;
    void seriesComplete(int page) override;
    void clearRow(int page) override;
    void selectRow(int page) override;

    // Re-reads the settings that depend on the pressure unit after it was changed.
    void RequeryLevelPage(int page);

private:
    bool ask(void (LevelCommands::*query)(int), int page);

    LevelFamily& family_;
};

} // namespace levelprobe
