#pragma once

#include "Transaction.h"

#include <QByteArray>

namespace sdilink {

// What the link calls in the layers above it: the response decoder for every reply line
// that answers the transaction in flight, and the active family's unlock of the
// transaction's page when it ends without a reply.
class LinkHandler {
public:
    virtual ~LinkHandler() = default;
    // `replyLine` starts at the request's echo.
    virtual void Decode_SDI12(const Transaction& transaction, const QByteArray& replyLine) = 0;
    virtual void unlockPage(int page) = 0;
};

} // namespace sdilink
