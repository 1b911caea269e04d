#pragma once

#include "core/protocol/ScanSeries.h"

namespace rotary {

class RotarySensors;

// The rotary-encoder family's part in a scan: seven queries, then aC!.
class RotaryScanSeries final : public protocol::ScanSeries {
public:
    explicit RotaryScanSeries(RotarySensors& sensors) : sensors_(sensors) {}

    int length() const override;
    QCoro::Task<bool> query(int page, int step) override;
    void addressFound(int) override {}
    void addressDone(int) override {}
    QCoro::Task<> seriesComplete(int page) override;
    void clearRow(int page) override;

private:
    RotarySensors& sensors_;
};

} // namespace rotary
