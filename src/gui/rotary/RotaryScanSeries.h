#pragma once

#include "core/protocol/ScanSeries.h"

namespace rotary {

class RotaryCommands;
class RotaryFamily;

// The rotary-encoder family's part in a scan: seven queries, then aC!.
class RotaryScanSeries final : public protocol::ScanSeries {
public:
    explicit RotaryScanSeries(RotaryFamily& family) : family_(family) {}

    int length() const override;
    QCoro::Task<bool> query(int page, int step) override;
    void addressFound(int) override {}
    void addressDone(int) override {}
    QCoro::Task<> seriesComplete(int page) override;
    void clearRow(int page) override;
    void selectRow(int page) override;

private:
    RotaryFamily& family_;
};

} // namespace rotary
