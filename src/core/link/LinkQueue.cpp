#include "Link.h"

#include <QMetaObject>
#include <algorithm>
#include <utility>

// The bus's queue: what waits while an exchange holds the bus, and its notice.

namespace sdilink {

bool Link::pageHasWork(int page) const {
    if (followUpPending() && current_.page == page)
        return true;
    return std::any_of(queue_.begin(), queue_.end(),
                       [page](const Queued& q) { return !q.task && q.transaction.page == page; });
}

Link::Queued Link::sequenceEntry(const QString& key, int page, std::function<void()> task) const {
    Queued entry;
    entry.task = std::move(task);
    entry.key = key;
    entry.transaction.page = page;
    entry.since = elapsedMs();
    return entry;
}

bool Link::deferWhileHeld(const QString& key, int page, std::function<void()> task) {
    if (std::exchange(taskStarting_, false) || sending_ != Sending::Queue || !busy())
        return false;
    enqueue(sequenceEntry(key, page, std::move(task)));
    return true;
}

void Link::followWith(const QString& key, int page, std::function<void()> task) {
    Queued entry = sequenceEntry(key, page, std::move(task));
    entry.followsReply = true;
    // After the other sequences this reply asked for, before everything else waiting.
    const auto at =
        std::find_if(queue_.begin(), queue_.end(), [](const Queued& q) { return !q.followsReply; });
    queue_.insert(at, std::move(entry));
    entryQueued();
}

void Link::entryQueued() {
    updateWaitNotice();
    if (!held())
        scheduleQueue();
}

bool Link::enqueue(Queued entry) {
    const bool twice = std::any_of(queue_.begin(), queue_.end(), [&entry](const Queued& q) {
        return entry.task ? q.task && q.key == entry.key
                          : !q.task && q.transaction.sameRequest(entry.transaction);
    });
    if (twice)
        return false;
    if (static_cast<int>(queue_.size()) >= kQueueLimit) {
        drop(entry, QStringLiteral("%1 requests are waiting for the bus").arg(kQueueLimit));
        return false;
    }
    queue_.push_back(std::move(entry));
    entryQueued();
    return true;
}

void Link::holdSequences(bool hold) {
    sequenceHolds_ += hold ? 1 : -1;
    if (sequenceHolds_ == 0 && !queue_.empty() && !held())
        scheduleQueue();
}

bool Link::mayRun(const Queued& entry) const {
    // A question being answered keeps sequences waiting; single requests go.
    return !entry.task || sequenceHolds_ == 0;
}

void Link::drop(const Queued& entry, const QString& why) {
    beep();
    logNotSent(entry.task ? entry.key : QString::fromLatin1(entry.transaction.request), why);
    const int page = entry.transaction.page;
    if (!entry.task && !entry.transaction.typed && !pageHasWork(page) && handler_)
        handler_->unlockPage(page);
}

void Link::logNotSent(const QString& what, const QString& why) {
    commsLog_.addSent(timeText() + QStringLiteral(" --- ") + what + QStringLiteral(" not sent: ") +
                      why + QLatin1Char('.'));
}

void Link::scheduleQueue() {
    if (queueScheduled_)
        return;
    queueScheduled_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            queueScheduled_ = false;
            runQueue();
        },
        Qt::QueuedConnection);
}

void Link::runQueue() {
    if (held())
        return;
    const auto at =
        std::find_if(queue_.begin(), queue_.end(), [this](const Queued& q) { return mayRun(q); });
    if (at == queue_.end()) {
        Q_EMIT busFree();
        return;
    }
    Queued next = std::move(*at);
    queue_.erase(at);
    updateWaitNotice();
    if (next.task) {
        taskStarting_ = true;
        next.task();
        taskStarting_ = false;
    } else {
        start(std::move(next.transaction));
    }
    notifyIfFree();
}

void Link::updateWaitNotice() {
    bool waitedLong = false;
    if (queue_.empty()) {
        waitNoticeTimer_->stop();
    } else {
        const qint64 waited = elapsedMs() - queue_.front().since;
        waitedLong = waited >= kWaitNoticeMs;
        if (waitedLong)
            waitNoticeTimer_->stop();
        else
            waitNoticeTimer_->start(static_cast<int>(kWaitNoticeMs - waited));
    }
    if (waitedLong != waitNoticeShown_) {
        waitNoticeShown_ = waitedLong;
        Q_EMIT waitingForBus(waitedLong);
    }
}

} // namespace sdilink
