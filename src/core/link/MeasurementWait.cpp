#include "MeasurementWait.h"

#include <algorithm>
#include <utility>

namespace sdilink {

MeasurementWait::MeasurementWait(platform::Timers& timers, std::function<void(int)> dataDue,
                                 std::function<bool()> awaiting)
    : serviceRequest_(timers.makeTimer()), pause_(timers.makeTimer()), dataDue_(std::move(dataDue)),
      awaiting_(std::move(awaiting)) {
    serviceRequest_->onTimeout = [this] {
        if (awaiting_())
            dataDue_(address_);
    };
    pause_->onTimeout = [this] { dataDue_(address_); };
}

void MeasurementWait::awaitServiceRequest(int address, int milliseconds) {
    address_ = address;
    serviceRequest_->start(std::max(0, milliseconds));
}

void MeasurementWait::pauseBeforeData(int address, int pauseMs) {
    serviceRequest_->stop();
    address_ = address;
    pause_->start(std::max(0, pauseMs));
}

void MeasurementWait::stopAwaiting() {
    serviceRequest_->stop();
}

void MeasurementWait::stop() {
    serviceRequest_->stop();
    pause_->stop();
}

bool MeasurementWait::pausing() const {
    return pause_->isActive();
}

} // namespace sdilink
