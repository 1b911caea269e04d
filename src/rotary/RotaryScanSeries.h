#pragma once

#include "protocol/ScanSeries.h"

class QTreeWidget;

namespace rotary {

// The rotary-encoder family's part in a scan: seven queries, then aC!.
//
// The encoder page's senders are not built yet, so every step reports that it was not
// answered: each address ends its series as an unanswered presence query would.
class RotaryScanSeries final : public protocol::ScanSeries {
public:
    explicit RotaryScanSeries(QTreeWidget* RotaryListView) : list_(RotaryListView) {}

    int length() const override { return 7; }
    bool query(int, int) override { return false; }
    void addressFound(int) override {}
    void addressDone(int) override {}
    void seriesComplete(int) override {}
    void clearRow(int page) override;
    void selectRow(int page) override;

private:
    QTreeWidget* list_;
};

} // namespace rotary
