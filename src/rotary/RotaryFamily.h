#pragma once

#include "platform/WindowControls.h"
#include "protocol/Family.h"

#include <array>

namespace logging {
struct LoggingState;
}

namespace rotary {

class RotaryPage;

// The rotary-encoder family: the page lock rules and the decoder branches of codes 100-117.
class RotaryFamily final : public protocol::Family {
public:
    RotaryFamily(std::array<RotaryPage*, 10> pages, platform::WindowControls window,
                 const logging::LoggingState& logging);

    bool isRotary() const override { return true; }
    qint16 dataRequestCode() const override { return 117; }
    void lockPage(int page) override { LockRotaryPage(page); }
    void unlockPage(int page) override { UnlockRotaryPage(page); }
    // No branch is built yet: every reply is reported as not handled, so the decoder says so
    // and unlocks the page.
    bool decodeReply(const sdilink::Transaction&, const protocol::ReplyLine&) override {
        return false;
    }

    void LockRotaryPage(int p);
    void UnlockRotaryPage(int p);

    RotaryPage& page(int p) const { return *pages_.at(static_cast<size_t>(p)); }

private:
    void setPageControls(int p, bool enabled);

    std::array<RotaryPage*, 10> pages_;
    platform::WindowControls window_;
    const logging::LoggingState& logging_;
};

} // namespace rotary
