#pragma once

#include "Family.h"

#include "link/LinkHandler.h"

#include <functional>

namespace sdilink {
class Link;
}
namespace platform {
class Dialogs;
}

namespace protocol {

// The response decoder: decides whether a framed reply line answers the request in flight
// and hands it to the active family's branch for the transaction code.
class Decoder final : public sdilink::LinkHandler {
public:
    using CurrentTab = std::function<int()>;
    // Receives every reply while a request typed by hand is in flight.
    using UserCommandSink = std::function<void(const QString& replyLine)>;

    Decoder(sdilink::Link& link, Family& family, platform::Dialogs& dialogs, CurrentTab currentTab);

    void setUserCommandSink(UserCommandSink sink) { userCommandSink_ = std::move(sink); }

    void Decode_SDI12(sdilink::ReceiveBuffer& sdi_buff) override;
    void unlockShownPage() override;

private:
    sdilink::Link& link_;
    Family& family_;
    platform::Dialogs& dialogs_;
    CurrentTab currentTab_;
    UserCommandSink userCommandSink_;
};

} // namespace protocol
