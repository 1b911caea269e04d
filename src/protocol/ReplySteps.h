#pragma once

namespace sdilink {
class Link;
}

namespace protocol {

// The steps every family's reply branches take on the link: mark the reply handled, beep
// for it, and know whether a request the branch started is still out (its page then stays
// locked until that request ends).
class ReplySteps {
public:
    explicit ReplySteps(sdilink::Link& link) : link_(link) {}

protected:
    void handled();
    void beep();
    bool followUpInFlight() const;

    sdilink::Link& link_;
};

} // namespace protocol
