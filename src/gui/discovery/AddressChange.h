#pragma once

#include <QCoroTask>
#include <functional>
#include <optional>

class QTabWidget;

namespace platform {
class Dialogs;
}
namespace protocol {
class Family;
}
namespace sdilink {
class Link;
}

namespace discovery {

class Scanner;

// A sensor's address: asking the one sensor on the bus for it, and moving a sensor to a free
// address, in both families.
class AddressChange {
public:
    // The address chosen on a page's list, if any.
    using Choice = std::function<std::optional<int>(int page)>;

    AddressChange(sdilink::Link& link, protocol::Family& family, platform::Dialogs& dialogs,
                  QTabWidget* SensorTab, Scanner& scanner, Choice chosen);

    // "?!"; refused when the last scan found more than one sensor.
    void mnuQueryAddress_Click();
    // Moves page p's sensor to the address chosen in its list. Refused without a choice and
    // for an address the last scan found in use; before "aAb!" the target b is asked "b!",
    // and a sensor there (one the last scan missed) refuses the change too. When the sensor
    // does not confirm the change, nothing moves and a rescan is offered.
    void AddrBut_Click(int p);

private:
    QCoro::Task<> changeAddress(int p, int b);

    sdilink::Link& link_;
    protocol::Family& family_;
    platform::Dialogs& dialogs_;
    QTabWidget* SensorTab_;
    Scanner& scanner_;
    Choice chosen_;
};

} // namespace discovery
