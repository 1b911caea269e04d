#pragma once

#include "Family.h"

#include "core/link/LinkHandler.h"

#include <QString>
#include <functional>

namespace sdilink {
class Link;
}

namespace protocol {

// The response decoder: hands the reply to the transaction in flight to the active
// family's branch for its code, or to the user-command window while a request typed by
// hand is in flight.
class Decoder final : public sdilink::LinkHandler {
public:
    // Receives every reply while a request typed by hand is in flight.
    using UserCommandSink = std::function<void(const QString& replyLine)>;
    // Tells the person something, with a title: the address a sensor answered, a reply
    // no branch knows.
    using Notice = std::function<void(const QString& title, const QString& text)>;

    Decoder(sdilink::Link& link, Family& family, Notice notice);

    void setUserCommandSink(UserCommandSink sink) { userCommandSink_ = std::move(sink); }

    void Decode_SDI12(const sdilink::Transaction& transaction,
                      const QByteArray& replyLine) override;
    void unlockPage(int page) override { family_.unlockPage(page); }

private:
    sdilink::Link& link_;
    Family& family_;
    Notice notice_;
    UserCommandSink userCommandSink_;
};

} // namespace protocol
