#pragma once

#include "RotaryCommands.h"
#include "RotaryReplies.h"
#include "RotaryScanSeries.h"
#include "RotaryView.h"
#include "core/protocol/Family.h"
#include "core/rotary/RotaryRecord.h"
#include "gui/widgets/WindowControls.h"

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

    QString serialNumber(int p) const override { return record(p).serialNumber; }
    bool isRotary() const override { return true; }
    Code dataRequestCode() const override { return Code::RotaryData; }
    Code measureCode() const override { return Code::RotaryMeasure; }
    void lockPage(int page) override { LockRotaryPage(page); }
    void unlockPage(int page) override { UnlockRotaryPage(page); }
    bool decodeReply(const sdilink::Transaction& transaction,
                     const protocol::ReplyLine& line) override;
    std::optional<int> selectedAddress(int page) const;
    void onAddressSet(std::function<void(int page)> set);
    Code addressChangeCode() const override { return Code::RotaryAddressChange; }

    void LockRotaryPage(int p);
    void UnlockRotaryPage(int p);
    // Moves the record of the encoder at page p (its old address) to page q and shows it
    // there.
    void MoveRotaryPage(int p, int q);

    // The record of the encoder at page p (its address).
    RotaryRecord& record(int p) { return records_.at(static_cast<size_t>(p)); }
    const RotaryRecord& record(int p) const { return records_.at(static_cast<size_t>(p)); }
    // Shows a field of page p's record on the page and in the sensor list.
    void show(int p, RotaryField field) { view_.show(p, record(p), field); }
    // Empties a field whose request has gone.
    void clearField(int p, RotaryField field);
    // Forgets what page p's encoder said (it no longer answers); the page's settings stay.
    void forget(int p);

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
    std::array<RotaryRecord, 10> records_;
    RotaryView view_;
    RotaryCommands commands_;
    RotaryReplies replies_;
    RotaryScanSeries scanSeries_;
};

} // namespace rotary
