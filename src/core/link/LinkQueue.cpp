#include "Link.h"

#include <QMetaObject>
#include <utility>

// The bus's queue: what waits while an exchange holds the bus, and its notice.

namespace sdilink {

bool Link::pageHasWork(int page) const {
    return (followUpPending() && current_.page == page) || queue_.hasRequestFor(page);
}

BusQueue::Entry Link::sequenceEntry(const QString& key, int page,
                                    std::function<void()> task) const {
    BusQueue::Entry entry;
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
    queue_.addFollowing(sequenceEntry(key, page, std::move(task)));
    entryQueued();
}

void Link::entryQueued() {
    updateWaitNotice();
    if (!held())
        scheduleQueue();
}

bool Link::enqueue(BusQueue::Entry entry) {
    switch (queue_.add(entry)) {
    case BusQueue::Added::Queued:
        entryQueued();
        return true;
    case BusQueue::Added::Full:
        drop(entry, QStringLiteral("%1 requests are waiting for the bus").arg(kQueueLimit));
        return false;
    case BusQueue::Added::AlreadyWaiting:
        break;
    }
    return false;
}

void Link::holdSequences(bool hold) {
    queue_.holdSequences(hold);
    if (queue_.ready() && !held())
        scheduleQueue();
}

void Link::drop(const BusQueue::Entry& entry, const QString& why) {
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
    std::optional<BusQueue::Entry> next = queue_.takeNext();
    if (!next) {
        Q_EMIT busFree();
        return;
    }
    updateWaitNotice();
    if (next->sequence()) {
        taskStarting_ = true;
        next->task();
        taskStarting_ = false;
    } else {
        start(std::move(next->transaction));
    }
    notifyIfFree();
}

void Link::updateWaitNotice() {
    bool waitedLong = false;
    if (queue_.empty()) {
        waitNoticeTimer_->stop();
    } else {
        const qint64 waited = elapsedMs() - queue_.oldestSince();
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
