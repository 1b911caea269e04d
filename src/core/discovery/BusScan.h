#pragma once

#include <QCoroTask>
#include <QList>
#include <QObject>

namespace protocol {
class Family;
class ScanSeries;
} // namespace protocol
namespace sdilink {
class Link;
}

namespace discovery {

// The bus scan without a window: probes addresses 0-9 in turn; an address that answers is
// marked present and read with the family's query series and a first reading, one that does
// not is marked absent and forgotten. Views follow the family's presence and the signals.
class BusScan final : public QObject {
    Q_OBJECT
public:
    struct Result {
        int firstFound = -1;  // the lowest address that answered, -1 for none
        bool stopped = false; // cancelled, the window closing, or the port gone
    };

    BusScan(sdilink::Link& link, protocol::Family& family, protocol::ScanSeries& series,
            QObject* parent = nullptr);

    // One complete scan (or one of the addresses given, the others left as they are),
    // holding the bus from its first request to its last; the caller takes its turn on the
    // bus first.
    QCoro::Task<Result> run();
    QCoro::Task<Result> run(QList<int> addresses);
    bool running() const { return running_; }
    // The lowest address that has answered in the scan running (or the last), -1 for none.
    int firstFound() const { return result_.firstFound; }
    // Ends a running scan after the transaction in flight.
    void cancel();

Q_SIGNALS:
    // The address about to be probed.
    void probing(int address);
    // The address gave no answer; it is marked absent right after.
    void absent(int address);
    // The address is done, found or not.
    void addressDone(int address);

private:
    bool ended() const;

    sdilink::Link& link_;
    protocol::Family& family_;
    protocol::ScanSeries& series_;
    Result result_;
    bool running_ = false;
    bool cancelled_ = false;
};

} // namespace discovery
