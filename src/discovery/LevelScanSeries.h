#pragma once

#include "ScanSeries.h"

#include <functional>

namespace levelprobe {
class LevelFamily;
}

namespace discovery {

class Scanner;
class SensorLists;

// The level-probe family's part in a scan: fifteen queries, then aM!.
class LevelScanSeries final : public ScanSeries {
public:
    LevelScanSeries(levelprobe::LevelFamily& family, SensorLists& lists);

    int length() const override;
    bool send(int page, int step) override;
    void addressFound(int page) override;
    void addressDone(int page) override;
    void seriesComplete(int page) override;
    void measure(int page) override;
    QTreeWidget* list() const override;
    int logStatusColumn() const override { return 8; }
    void clearRow(int page) override;

    // Re-reads the settings that depend on the pressure unit after it was changed.
    void RequeryLevelPage(Scanner& scanner, int page);

private:
    levelprobe::LevelFamily& family_;
    SensorLists& lists_;
};

} // namespace discovery
