#pragma once

class QTreeWidget;

namespace discovery {

// What a scan asks of one sensor family: its query series (step 0 is the presence query),
// its measurement, and its sensor list.
class ScanSeries {
public:
    virtual ~ScanSeries() = default;

    virtual int length() const = 0;
    // Sends step `step` of the series to the sensor at `page`; false when the step cannot be
    // sent, which ends the series as an unanswered query would.
    virtual bool send(int page, int step) = 0;
    // Called once an address has answered its presence query, and after the address is done.
    virtual void addressFound(int page) = 0;
    virtual void addressDone(int page) = 0;
    // After a complete series, before the measurement.
    virtual void seriesComplete(int page) = 0;
    virtual void measure(int page) = 0;

    virtual QTreeWidget* list() const = 0;
    virtual int logStatusColumn() const = 0;
    virtual void clearRow(int page) = 0;
};

} // namespace discovery
