#include "ReplySteps.h"

#include "link/Link.h"

namespace protocol {

void ReplySteps::handled() {
    link_.setReplyStatus(sdilink::Link::Handled);
}

void ReplySteps::beep() {
    if (link_.BeepOnReply)
        link_.beep();
}

bool ReplySteps::followUpInFlight() const {
    return link_.awaitingReply() || link_.ReceiveState() == 1;
}

} // namespace protocol
