#include "BusQueue.h"

#include <algorithm>
#include <utility>

namespace sdilink {

BusQueue::Added BusQueue::add(Entry entry) {
    const bool twice = std::any_of(entries_.begin(), entries_.end(), [&entry](const Entry& q) {
        return entry.sequence() ? q.sequence() && q.key == entry.key
                                : !q.sequence() && q.transaction.sameRequest(entry.transaction);
    });
    if (twice)
        return Added::AlreadyWaiting;
    if (size() >= kLimit)
        return Added::Full;
    entries_.push_back(std::move(entry));
    return Added::Queued;
}

void BusQueue::addFollowing(Entry entry) {
    entry.followsReply = true;
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [](const Entry& q) { return !q.followsReply; });
    entries_.insert(at, std::move(entry));
}

std::optional<BusQueue::Entry> BusQueue::takeNext() {
    const auto at =
        std::find_if(entries_.begin(), entries_.end(), [this](const Entry& q) { return mayGo(q); });
    if (at == entries_.end())
        return std::nullopt;
    Entry next = std::move(*at);
    entries_.erase(at);
    return next;
}

std::optional<BusQueue::Entry> BusQueue::takeFollowing() {
    if (entries_.empty() || !entries_.front().followsReply)
        return std::nullopt;
    Entry next = std::move(entries_.front());
    entries_.pop_front();
    return next;
}

void BusQueue::holdSequences(bool hold) {
    holds_ += hold ? 1 : -1;
}

bool BusQueue::ready() const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [this](const Entry& q) { return mayGo(q); });
}

bool BusQueue::hasRequestFor(int page) const {
    return std::any_of(entries_.begin(), entries_.end(), [page](const Entry& q) {
        return !q.sequence() && q.transaction.page == page;
    });
}

} // namespace sdilink
