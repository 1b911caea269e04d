#include "AddressChange.h"

#include "Scanner.h"
#include "core/discovery/AddressMove.h"
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
    changeAddress(p, *chosen);
}

QCoro::Task<> AddressChange::changeAddress(int p, int b) {
    // The bus is free before anything is said.
    const AddressMove outcome = co_await moveAddress(link_, family_, p, b);
    switch (outcome) {
    case AddressMove::AlreadyThere:
        dialogs_.messageBox(kSetTitle,
                            QStringLiteral("Sensor is already set to address %1.").arg(p),
                            Icon::Exclamation);
        break;
    case AddressMove::InUse:
        dialogs_.messageBox(kSetTitle, kInUse, Icon::Exclamation);
        break;
    case AddressMove::NotConfirmed:
        if (dialogs_.confirm(kSetTitle,
                             QStringLiteral("Sensor %1 did not confirm the change to address %2: "
                                            "it may answer at either address.\rDo you wish to "
                                            "rescan the sensors?")
                                 .arg(p)
                                 .arg(b)))
            scanner_.Poll_Sensors();
        break;
    case AddressMove::Moved:
    case AddressMove::Unchanged:
        break;
    }
}

} // namespace discovery
