#include "BusScan.h"

#include "core/link/Link.h"
#include "core/platform/SerialPort.h"
#include "core/protocol/Family.h"
#include "core/protocol/ScanSeries.h"

#include <optional>

namespace discovery {

BusScan::BusScan(sdilink::Link& link, protocol::Family& family, protocol::ScanSeries& series,
                 QObject* parent)
    : QObject(parent), link_(link), family_(family), series_(series) {}

void BusScan::cancel() {
    if (!running_)
        return;
    cancelled_ = true;
    link_.setReplyStatus(sdilink::Link::Abandoned);
}

bool BusScan::ended() const {
    // A port that went away ends the scan after the one message of the first request that
    // could not go out.
    return cancelled_ || link_.replyStatus() == sdilink::Link::Abandoned ||
           (!link_.port().isOpen() && (link_.replyStatus() == sdilink::Link::NotSent ||
                                       link_.replyStatus() == sdilink::Link::Lost));
}

QCoro::Task<BusScan::Result> BusScan::run() {
    return run(QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
}

QCoro::Task<BusScan::Result> BusScan::run(QList<int> addresses) {
    running_ = true;
    result_ = {};
    Result& result = result_;
    {
        const sdilink::Link::Sequence sequence(link_, true);
        for (const int i : addresses) {
            if (ended())
                break;
            Q_EMIT probing(i);
            if (co_await series_.query(i, 0)) {
                if (result.firstFound < 0)
                    result.firstFound = i;
                family_.setPresent(i, true);
                series_.addressFound(i);
                bool complete = true;
                for (int step = 1; step < series_.length() && complete && !ended(); ++step)
                    complete = co_await series_.query(i, step);
                if (complete && !ended())
                    co_await series_.seriesComplete(i);
            } else if (!ended()) {
                Q_EMIT absent(i);
                family_.setPresent(i, false);
                series_.clearRow(i);
                link_.FlushInput();
            }
            series_.addressDone(i);
            Q_EMIT addressDone(i);
        }
        link_.beep();
        link_.setReceiveState(sdilink::Framer::State::Idle);
        result.stopped = ended();
    }
    cancelled_ = false;
    running_ = false;
    co_return result_;
}

} // namespace discovery
