#pragma once

#include "ReceiveBuffer.h"

namespace sdilink {

// What the link calls in the layers above it: the response decoder for every complete reply
// line, and the active family's unlock of the page shown when a command times out.
class LinkHandler {
public:
    virtual ~LinkHandler() = default;
    virtual void Decode_SDI12(ReceiveBuffer& sdi_buff) = 0;
    virtual void unlockShownPage() = 0;
};

} // namespace sdilink
