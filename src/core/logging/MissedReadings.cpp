#include "MissedReadings.h"

#include "core/link/Link.h"

namespace logging {

MissedReadings::MissedReadings(sdilink::Link& link, const LoggingState& state, Missed missed)
    : link_(link), state_(state), missed_(std::move(missed)) {
    QObject::connect(&link_, &sdilink::Link::exchangeEnded, &context_,
                     [this](quint64 exchange, qint16 status) { exchangeEnded(exchange, status); });
}

void MissedReadings::readingSent(int tab) {
    pending_ = tab;
    rowSeen_ = false;
}

void MissedReadings::rowAdded(int tab) {
    if (tab == pending_)
        rowSeen_ = true;
}

void MissedReadings::readingSkipped(int tab) {
    missed_(tab, QStringLiteral("bus busy"));
}

void MissedReadings::exchangeEnded(quint64 exchange, qint16 status) {
    // The reading holds the bus from its request on: the first exchange to end after it went
    // out is its own.
    const int tab = std::exchange(pending_, -1);
    const sdilink::Transaction& t = link_.transaction();
    if (tab < 0 || t.exchange != exchange || t.page != tab || rowSeen_ ||
        !state_.LogActive.at(static_cast<size_t>(tab)))
        return;
    switch (status) {
    case sdilink::Link::TimedOut:
        missed_(tab, QStringLiteral("no answer"));
        break;
    case sdilink::Link::Handled:
        missed_(tab, QStringLiteral("no values in the answer"));
        break;
    case sdilink::Link::NotSent:
        missed_(tab, QStringLiteral("port closed"));
        break;
    case sdilink::Link::Lost:
        missed_(tab, QStringLiteral("port lost"));
        break;
    default:
        missed_(tab, QStringLiteral("given up"));
        break;
    }
}

} // namespace logging
