#pragma once

#include "RotaryCommands.h"
#include "RotaryReplies.h"
#include "RotaryScanSeries.h"
#include "protocol/Family.h"
#include "widgets/WindowControls.h"

#include <array>

class QTreeWidget;

namespace logging {
class Logger;
}
namespace platform {
class Dialogs;
}
namespace sdilink {
class Link;
}

namespace rotary {

class RotaryPage;

// The rotary-encoder family: the page lock rules, the page move after an address change,
// the page's commands, the decoder branches of codes 101-117 and its scan series.
class RotaryFamily final : public protocol::Family {
public:
    RotaryFamily(std::array<RotaryPage*, 10> pages, widgets::WindowControls window,
                 logging::Logger& logger, sdilink::Link& link, platform::Dialogs& dialogs,
                 QTreeWidget* RotaryListView);

    bool isRotary() const override { return true; }
    Code dataRequestCode() const override { return Code::RotaryData; }
    Code measureCode() const override { return Code::RotaryMeasure; }
    void lockPage(int page) override { LockRotaryPage(page); }
    void unlockPage(int page) override { UnlockRotaryPage(page); }
    bool decodeReply(const sdilink::Transaction& transaction,
                     const protocol::ReplyLine& line) override;
    std::optional<int> selectedAddress(int page) const override;
    void onAddressSet(AddressSet set) override;
    Code addressChangeCode() const override { return Code::RotaryAddressChange; }

    void LockRotaryPage(int p);
    void UnlockRotaryPage(int p);
    // Moves everything shown for an encoder from page p (its old address) to page q.
    void MoveRotaryPage(int p, int q);
    // Shows page i's measurement resolution (empty when it cannot be computed).
    void calculateMeasurementRes(int i);

    RotaryPage& page(int p) const { return *pages_.at(static_cast<size_t>(p)); }
    RotaryCommands& commands() { return commands_; }
    RotaryReplies& replies() { return replies_; }
    RotaryScanSeries& scanSeries() { return scanSeries_; }
    logging::Logger& logger() const { return logger_; }
    sdilink::Link& link() const { return link_; }
    QTreeWidget* RotaryListView() const { return listView_; }
    QTabWidget* SensorTab() const { return window_.SensorTab; }

private:
    void setPageControls(int p, bool enabled);

    std::array<RotaryPage*, 10> pages_;
    widgets::WindowControls window_;
    logging::Logger& logger_;
    sdilink::Link& link_;
    QTreeWidget* listView_;
    RotaryCommands commands_;
    RotaryReplies replies_;
    RotaryScanSeries scanSeries_;
};

} // namespace rotary
