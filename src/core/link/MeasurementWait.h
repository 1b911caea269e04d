#pragma once

#include "core/platform/Timers.h"

#include <functional>
#include <memory>

namespace sdilink {

// What follows a measurement's answer until its data is asked for: the wait for the sensor's
// service request (bounded by a time-out after which the data is asked for all the same), then
// the pause before the data request. Its end is dataDue(address).
class MeasurementWait {
public:
    // `awaiting`: the receiver still waits for the service request when its time is up.
    MeasurementWait(platform::Timers& timers, std::function<void(int address)> dataDue,
                    std::function<bool()> awaiting);

    // The service request of `address` is awaited for at most `milliseconds`.
    void awaitServiceRequest(int address, int milliseconds);
    // The service request came, or none is awaited: the data goes after `pauseMs`.
    void pauseBeforeData(int address, int pauseMs);
    // The service request is no longer awaited (the receiver left that state).
    void stopAwaiting();
    // Nothing more is asked for.
    void stop();
    bool pausing() const;

private:
    std::unique_ptr<platform::OneShotTimer> serviceRequest_;
    std::unique_ptr<platform::OneShotTimer> pause_;
    std::function<void(int)> dataDue_;
    std::function<bool()> awaiting_;
    int address_ = 0;
};

} // namespace sdilink
