#pragma once

#include "Transaction.h"

#include <QString>
#include <QtGlobal>
#include <deque>
#include <functional>
#include <optional>

namespace sdilink {

// What waits for the bus while an exchange holds it, in order: single requests and
// sequences. A request or sequence already waiting is not queued twice, and a full queue
// takes nothing more. Sequences a reply asked for go before everything else; while a
// person answers a question, sequences stay queued and single requests go on.
class BusQueue {
public:
    struct Entry {
        Transaction transaction;    // a single request, or the sequence's page
        std::function<void()> task; // a sequence, instead of one transaction
        QString key;                // a sequence's name: the same one waits once
        qint64 since = 0;           // when it joined, on the link's clock
        bool followsReply = false;  // a sequence a reply asked for

        bool sequence() const { return static_cast<bool>(task); }
    };
    enum class Added { Queued, AlreadyWaiting, Full };

    // Entries waiting at most.
    static constexpr int kLimit = 16;

    Added add(Entry entry);
    // A sequence a reply asked for: after the others that followed replies, before the rest.
    void addFollowing(Entry entry);
    // The first entry that may go now, taken out of the queue.
    std::optional<Entry> takeNext();
    // The sequence a reply asked for at the front, taken out; none when the front is another.
    std::optional<Entry> takeFollowing();
    // Each hold(true) is matched by one hold(false); sequences go again after the last.
    void holdSequences(bool hold);
    void clear() { entries_.clear(); }

    // Something waiting may go now.
    bool ready() const;
    bool empty() const { return entries_.empty(); }
    int size() const { return static_cast<int>(entries_.size()); }
    // A single request of the page waits.
    bool hasRequestFor(int page) const;
    // When the oldest entry joined; the queue must not be empty.
    qint64 oldestSince() const { return entries_.front().since; }

private:
    bool mayGo(const Entry& entry) const { return !entry.sequence() || holds_ == 0; }

    std::deque<Entry> entries_;
    int holds_ = 0;
};

} // namespace sdilink
