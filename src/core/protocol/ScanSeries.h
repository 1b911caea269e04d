#pragma once

#include <QCoroTask>

namespace protocol {

// What a scan asks of one sensor family: its query series (step 0 is the presence query),
// its first reading, and forgetting a sensor that no longer answers.
class ScanSeries {
public:
    virtual ~ScanSeries() = default;

    virtual int length() const = 0;
    // Sends step `step` of the series to the sensor at `page` and awaits the reply; false
    // when it was not answered (or could not be sent), which ends the series.
    virtual QCoro::Task<bool> query(int page, int step) = 0;
    // Called once an address has answered its presence query, and after the address is done.
    virtual void addressFound(int page) = 0;
    virtual void addressDone(int page) = 0;
    // After a complete series: takes a first reading, waiting ten times the command
    // time-out, and when it is answered writes the row's "Log Status".
    virtual QCoro::Task<> seriesComplete(int page) = 0;
    // The address gave no answer: what its sensor said is forgotten.
    virtual void clearRow(int page) = 0;
};

} // namespace protocol
