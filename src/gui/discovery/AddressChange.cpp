#include "AddressChange.h"

#include "Scanner.h"
#include "core/link/Link.h"
#include "core/protocol/Catalogue.h"
#include "core/protocol/Family.h"
#include "gui/platform/Dialogs.h"
#include <QTabWidget>
#include <optional>

namespace discovery {

using Icon = platform::Dialogs::Icon;
using sdilink::Code;
using sdilink::Link;
using sdilink::Transaction;

namespace {

const QString kSetTitle = QStringLiteral("Set Sensor Address.");
const QString kInUse =
    QStringLiteral("Unable to set sensor to this address as address is already in use.");

} // namespace

AddressChange::AddressChange(Link& link, protocol::Family& family, platform::Dialogs& dialogs,
                             QTabWidget* SensorTab, Scanner& scanner, Choice chosen)
    : link_(link), family_(family), dialogs_(dialogs), SensorTab_(SensorTab), scanner_(scanner),
      chosen_(std::move(chosen)) {}

void AddressChange::mnuQueryAddress_Click() {
    int sensors = 0;
    for (int p = 0; p <= 9; ++p)
        sensors += family_.present(p) ? 1 : 0;
    if (sensors > 1) {
        dialogs_.messageBox(QStringLiteral("Query Sensor Address."),
                            QStringLiteral("Unable to query sensor address when more than one "
                                           "sensor is connected."),
                            Icon::Exclamation);
        return;
    }
    const int p = SensorTab_->currentIndex();
    family_.lockPage(p);
    link_.transmit(Transaction::forPage(p, Code::AddressQuery,
                                        protocol::Catalogue::request(p, Code::AddressQuery)));
}

QCoro::Task<bool> AddressChange::addressAnswers(int p, int address) {
    Transaction probe = Transaction::forPage(p, Code::Acknowledge,
                                             QByteArray(1, static_cast<char>('0' + address)) + '!');
    // Any line at all, or any byte after the echo before the time-out, means something
    // answers there: garbage or a line cut short is not a free address.
    probe.answer = Transaction::Answer::AnyLine;
    if (co_await link_.transact([&] {
            family_.lockPage(p);
            link_.transmit(probe);
        }))
        co_return true;
    if (link_.replyStatus() != Link::TimedOut)
        co_return false;
    const QByteArray& heard = link_.receivedSinceRequest();
    const qsizetype echo = heard.indexOf(probe.request);
    if (echo < 0)
        co_return !heard.isEmpty();
    co_return heard.size() > echo + probe.request.size();
}

void AddressChange::AddrBut_Click(int p) {
    if (link_.deferWhileHeld(QStringLiteral("address %1").arg(p), p,
                             [this, p] { AddrBut_Click(p); }))
        return;
    const std::optional<int> chosen = chosen_(p);
    if (!chosen) {
        dialogs_.messageBox(kSetTitle, QStringLiteral("Please select sensor address."),
                            Icon::Exclamation);
        return;
    }
    const int b = *chosen;
    if (family_.present(b)) {
        dialogs_.messageBox(kSetTitle,
                            b == p ? QStringLiteral("Sensor is already set to address %1.").arg(p)
                                   : kInUse,
                            Icon::Exclamation);
        return;
    }
    changeAddress(p, b);
}

QCoro::Task<> AddressChange::changeAddress(int p, int b) {
    bool offerRescan = false;
    {
        auto sequence = std::make_optional<Link::Sequence>(link_);
        if (co_await addressAnswers(p, b)) {
            family_.unlockPage(p);
            sequence.reset(); // the bus is free before anything is said
            dialogs_.messageBox(kSetTitle, kInUse, Icon::Exclamation);
            co_return;
        }
        if (link_.replyStatus() != Link::TimedOut)
            co_return; // not sent (the port is closed) or the window is closing
        const Code code = family_.addressChangeCode();
        const bool confirmed = co_await link_.transact([&] {
            family_.lockPage(p);
            link_.transmit(Transaction::forPage(
                p, code,
                protocol::Catalogue::request(p, code, protocol::Catalogue::digitValue(b))));
        });
        if (confirmed && family_.present(b))
            co_await family_.finishAddressChange(b);
        else if (confirmed)
            family_.unlockPage(p);
        else
            offerRescan = link_.replyStatus() == Link::TimedOut;
    }
    if (offerRescan &&
        dialogs_.confirm(kSetTitle, QStringLiteral("Sensor %1 did not confirm the change to "
                                                   "address %2: it may answer at either "
                                                   "address.\rDo you wish to rescan the sensors?")
                                        .arg(p)
                                        .arg(b)))
        scanner_.Poll_Sensors();
}

} // namespace discovery
