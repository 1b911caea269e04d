#pragma once

#include <QString>
#include <QThread>

namespace app {

// The simulated bus of a demonstration run: level probes and rotary encoders served on a
// pseudo-terminal from a thread of their own, so the tool's blocking break, mark and data
// pauses do not hold up the sensors' timing.
class DemoBus final {
public:
    DemoBus() = default;
    ~DemoBus();
    DemoBus(const DemoBus&) = delete;
    DemoBus& operator=(const DemoBus&) = delete;

    // Starts the bus; false with errorString() when no pseudo-terminal could be made.
    bool start();
    void stop();

    // The device the tool opens to reach the bus, e.g. /dev/pts/4.
    QString devicePath() const { return devicePath_; }
    QString errorString() const { return error_; }

private:
    QThread thread_;
    QObject* root_ = nullptr; // lives in thread_, owns the simulator's objects
    QString devicePath_;
    QString error_;
};

} // namespace app
