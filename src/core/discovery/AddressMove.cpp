#include "AddressMove.h"

#include "core/link/Link.h"
#include "core/protocol/Catalogue.h"
#include "core/protocol/Family.h"

#include <optional>

namespace discovery {

using sdilink::Code;
using sdilink::Link;
using sdilink::Transaction;

QCoro::Task<bool> addressAnswers(Link& link, protocol::Family& family, int p, int address) {
    Transaction probe = Transaction::forPage(p, Code::Acknowledge,
                                             QByteArray(1, static_cast<char>('0' + address)) + '!');
    probe.answer = Transaction::Answer::AnyLine;
    if (co_await link.transact([&] {
            family.lockPage(p);
            link.transmit(probe);
        }))
        co_return true;
    if (link.replyStatus() != Link::TimedOut)
        co_return false;
    const QByteArray& heard = link.receivedSinceRequest();
    const qsizetype echo = heard.indexOf(probe.request);
    if (echo < 0)
        co_return !heard.isEmpty();
    co_return heard.size() > echo + probe.request.size();
}

QCoro::Task<AddressMove> moveAddress(Link& link, protocol::Family& family, int p, int b) {
    if (family.present(b))
        co_return b == p ? AddressMove::AlreadyThere : AddressMove::InUse;
    const Link::Sequence sequence(link);
    const bool taken = co_await addressAnswers(link, family, p, b);
    if (taken) {
        family.unlockPage(p);
        co_return AddressMove::InUse;
    }
    if (link.replyStatus() != Link::TimedOut)
        co_return AddressMove::Unchanged; // not sent (the port is closed) or abandoned
    const Code code = family.addressChangeCode();
    const bool confirmed = co_await link.transact([&] {
        family.lockPage(p);
        link.transmit(Transaction::forPage(
            p, code, protocol::Catalogue::request(p, code, protocol::Catalogue::digitValue(b))));
    });
    if (confirmed && family.present(b)) {
        co_await family.finishAddressChange(b);
        co_return AddressMove::Moved;
    }
    if (confirmed) {
        family.unlockPage(p);
        co_return AddressMove::Unchanged;
    }
    co_return link.replyStatus() == Link::TimedOut ? AddressMove::NotConfirmed
                                                   : AddressMove::Unchanged;
}

} // namespace discovery
