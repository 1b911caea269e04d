#pragma once

#include "ScanSeries.h"

namespace discovery {

class SensorLists;

// The rotary-encoder family's part in a scan: seven queries, then aC!.
//
// The encoder page's senders are not built yet, so every step reports that it could not be
// sent: each address ends its series as an unanswered presence query would.
class RotaryScanSeries final : public ScanSeries {
public:
    explicit RotaryScanSeries(SensorLists& lists) : lists_(lists) {}

    int length() const override { return 7; }
    bool send(int, int) override { return false; }
    void addressFound(int) override {}
    void addressDone(int) override {}
    void seriesComplete(int) override {}
    void measure(int) override {}
    QTreeWidget* list() const override;
    int logStatusColumn() const override { return 6; }
    void clearRow(int page) override;

private:
    SensorLists& lists_;
};

} // namespace discovery
