#pragma once

#include "core/protocol/ScanSeries.h"

namespace levelprobe {

class LevelSensors;

// The level-probe family's part in a scan: fifteen queries, then aM!.
class LevelScanSeries final : public protocol::ScanSeries {
public:
    explicit LevelScanSeries(LevelSensors& sensors) : sensors_(sensors) {}

    int length() const override;
    QCoro::Task<bool> query(int page, int step) override;
    void addressFound(int page) override;
    void addressDone(int page) override;
    QCoro::Task<> seriesComplete(int page) override;
    void clearRow(int page) override;

private:
    LevelSensors& sensors_;
};

} // namespace levelprobe
