#include "ReplySteps.h"

#include "core/link/Link.h"

namespace protocol {

void ReplySteps::beep() {
    if (link_.replyBeeps())
        link_.beep();
}

bool ReplySteps::followUpInFlight() const {
    return link_.followUpPending();
}

} // namespace protocol
