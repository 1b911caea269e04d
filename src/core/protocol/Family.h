#pragma once

#include "core/link/Code.h"

#include <QCoroTask>
#include <QString>
#include <QtGlobal>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>

namespace sdilink {
struct Transaction;
}

namespace protocol {

using sdilink::Code;

class ReplyLine;

// What differs between the two sensor families: how a page is locked and unlocked (views
// follow it) and how a reply is decoded. Implemented once by the level-probe family and once by the
// rotary-encoder family.
class Family {
public:
    virtual ~Family() = default;

    virtual bool isRotary() const = 0;
    // The serial number the sensor at an address gave at the last scan.
    virtual QString serialNumber(int page) const = 0;
    // Transaction code of the data request aD0!.
    virtual Code dataRequestCode() const = 0;
    // Transaction code of the family's measurement request: aM! or aC!.
    virtual Code measureCode() const = 0;

    // Whether a sensor answered at the address at the last scan (or moved there since).
    bool present(int page) const { return present_.at(static_cast<std::size_t>(page)); }
    void setPresent(int page, bool present) {
        present_.at(static_cast<std::size_t>(page)) = present;
        presenceSet(page, present);
    }

    // A transaction of the page is in flight: its controls (and the window-level ones) wait.
    virtual void lockPage(int page) { setLocked(page, true); }
    // The transaction has ended.
    virtual void unlockPage(int page) { setLocked(page, false); }
    // A request of the page is out: its controls wait.
    bool locked(int page) const { return locked_.at(static_cast<std::size_t>(page)); }

    // Runs the decoder branch of the transaction on its reply line (which starts at the
    // echo and holds a "!"); everything it shows goes to the transaction's page. Returns
    // false when the family has no branch for the transaction's code.
    virtual bool decodeReply(const sdilink::Transaction& transaction, const ReplyLine& line) = 0;

    // The transaction code of the address change aAb!.
    virtual Code addressChangeCode() const { return Code::AddressChange; }
    // After the reply to an address change moved the page: sends what the move leaves to
    // tell the sensor at its new address, one request after another, then unlocks the page.
    virtual QCoro::Task<> finishAddressChange(int newPage) {
        unlockPage(newPage);
        co_return;
    }

protected:
    // Tell the views of a presence or a page lock set.
    virtual void presenceSet(int /*page*/, bool /*present*/) {}
    virtual void lockSet(int /*page*/, bool /*locked*/) {}

private:
    void setLocked(int page, bool locked) {
        locked_.at(static_cast<std::size_t>(page)) = locked;
        lockSet(page, locked);
    }

    std::array<bool, 10> present_{};
    std::array<bool, 10> locked_{};
};

} // namespace protocol
