#pragma once

namespace sdilink {
class Link;
}

namespace protocol {

// The steps every family's reply branches take on the link: beep for the reply (unless its
// transaction is quiet), and know whether a request the branch started is still out (its
// page then stays locked until that request ends).
class ReplySteps {
public:
    explicit ReplySteps(sdilink::Link& link) : link_(link) {}

protected:
    void beep();
    bool followUpInFlight() const;

    sdilink::Link& link_;
};

} // namespace protocol
