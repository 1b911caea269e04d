#pragma once

#include "core/logging/LoggingState.h"

#include <QObject>
#include <QString>
#include <functional>

namespace sdilink {
class Link;
}

namespace logging {

// Finds the readings of running logs that do not come: the exchange of a log's reading
// ended without a row (no answer, an answer without values, the port closed or lost, the
// reading given up), or a tick came while the log's last reading still waited for the bus.
// A reading of a log that was stopped meanwhile is no miss.
class MissedReadings final {
public:
    using Missed = std::function<void(int tab, const QString& reason)>;

    MissedReadings(sdilink::Link& link, const LoggingState& state, Missed missed);

    // From the logger: a log's reading goes on the bus now; a row arrived; a tick found the
    // last reading still waiting.
    void readingSent(int tab);
    void rowAdded(int tab);
    void readingSkipped(int tab);

private:
    void exchangeEnded(quint64 exchange, qint16 status);

    sdilink::Link& link_;
    const LoggingState& state_;
    Missed missed_;
    int pending_ = -1; // the page whose log reading is on the bus
    bool rowSeen_ = false;
    QObject context_;
};

} // namespace logging
