#pragma once

#include <QDateTime>
#include <QString>

namespace logging {

// What happens to the pages' logs, told by the Logger as it happens: how the journals on
// disk follow the logs and count the readings that did not come.
class LogListener {
public:
    virtual ~LogListener() = default;

    // A reading became the newest row of the page's log, stamped `when`.
    virtual void rowAdded(int tab, const QDateTime& when, const QString& value1,
                          const QString& units1, const QString& value2, const QString& units2) = 0;
    // "Clear Log" emptied the page's log.
    virtual void logCleared(int tab) = 0;
    // The page's rows went below those of another page (an address change).
    virtual void logMoved(int from, int to) = 0;
    // A reading of the page's running log goes on the bus now.
    virtual void logReadingSent(int tab) = 0;
    // A tick of the page's running log came while its last reading still waited for the bus:
    // that reading will never be taken.
    virtual void logReadingSkipped(int tab) = 0;
};

} // namespace logging
