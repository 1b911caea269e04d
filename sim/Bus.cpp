#include "Bus.h"

#include "LevelProbe.h"
#include "RotaryEncoder.h"

namespace sim {

namespace {
// A request longer than any known one without "!" is line noise; it is dropped.
constexpr qsizetype kMaxRequest = 80;
// A pty cannot carry the break before a request, but the host is silent for at least the
// break and the marking after it. A silence this long ends any half-received request.
constexpr Micros kBreakSilence{12'000};
} // namespace

Bus::Bus(Scheduler& scheduler, QObject* parent) : QObject(parent), scheduler_(scheduler) {}

Bus::~Bus() = default;

LevelProbe& Bus::addLevelProbe(char address) {
    return static_cast<LevelProbe&>(addSensor(std::make_unique<LevelProbe>(address)));
}

RotaryEncoder& Bus::addRotaryEncoder(char address) {
    return static_cast<RotaryEncoder&>(addSensor(std::make_unique<RotaryEncoder>(address)));
}

Sensor& Bus::addSensor(std::unique_ptr<Sensor> sensor) {
    sensors_.push_back(std::move(sensor));
    return *sensors_.back();
}

Sensor* Bus::sensorAt(char address) const {
    for (const auto& sensor : sensors_)
        if (sensor->address() == address)
            return sensor.get();
    return nullptr;
}

void Bus::setFaults(char address, const Faults& faults) {
    if (faults.any())
        faults_.insert(address, faults);
    else
        faults_.remove(address);
}

void Bus::lineBreak() {
    ++generation_;
    breakAt(scheduler_.now());
    request_.clear();
}

void Bus::breakAt(Micros time) {
    if (!measuring_)
        return;
    const Measuring measuring = *std::exchange(measuring_, std::nullopt);
    // The timer may lag behind a request that starts right at the end of the measurement.
    if (time >= measuring.readyAt)
        measuring.sensor->completeMeasurement(measuring.readyAt);
}

void Bus::startMeasuring(Sensor* sensor, Micros readyAt, bool serviceRequest,
                         const QByteArray& lineEnd) {
    const quint64 generation = generation_;
    measuring_ = Measuring{sensor, readyAt, generation};
    scheduler_.at(readyAt, this, [this, generation, serviceRequest, lineEnd] {
        if (!measuring_ || measuring_->generation != generation)
            return; // a break came first
        const Measuring measuring = *std::exchange(measuring_, std::nullopt);
        measuring.sensor->completeMeasurement(measuring.readyAt);
        if (serviceRequest)
            send(QByteArray(1, measuring.sensor->address()) + lineEnd, scheduler_.now(),
                 TrafficRecord::Kind::ServiceRequest);
    });
}

void Bus::receive(QByteArrayView bytes) {
    const Micros now = scheduler_.now();
    // Without pacing the echo of one write goes back in one piece.
    QByteArray echo;
    const auto flushEcho = [&] {
        if (!echo.isEmpty())
            send(std::exchange(echo, {}), now, std::nullopt);
    };
    if (now >= inputFree_) { // the line was idle: characters count from now
        if (now - inputFree_ >= kBreakSilence)
            request_.clear();
        inputBase_ = now;
        inputCount_ = 0;
    }
    for (const char byte : bytes) {
        const Micros start = inputFree_ > now ? inputFree_ : now;
        const Micros done = pacing_ ? inputBase_ + charactersTime(++inputCount_) : now;
        inputFree_ = done;
        if (request_.isEmpty()) {
            // A new request: the break before it has ended any measurement in progress.
            ++generation_;
            breakAt(start);
            requestStart_ = start;
            holdEcho_ = faults_.value(byte).lateBy.has_value();
            const QByteArray noise = faults_.value(byte).noise;
            if (!noise.isEmpty()) {
                flushEcho();
                send(noise, start, TrafficRecord::Kind::Noise);
            }
        }
        request_.append(byte);
        // The interface echoes each character as it passes (unless the line is to come late).
        if (!holdEcho_) {
            if (pacing_)
                emitAt(std::max(done, outputFree_), QByteArray(1, byte));
            else
                echo.append(byte);
        }
        if (byte == '!') {
            flushEcho();
            const QByteArray request = std::exchange(request_, {});
            requestComplete(request, requestStart_, done);
        } else if (request_.size() > kMaxRequest) {
            request_.clear();
        }
    }
    flushEcho();
}

void Bus::emitAt(Micros time, const QByteArray& bytes) {
    outputFree_ = std::max(outputFree_, time);
    scheduler_.at(time, this, [this, bytes] { emit transmitted(bytes); });
}

void Bus::requestComplete(const QByteArray& request, Micros start, Micros end) {
    scheduler_.at(end, this,
                  [this, record = TrafficRecord{TrafficRecord::Kind::Request, request, start,
                                                end}] { this->record(record); });
    // With the late fault the whole line, echo and answer, comes after the delay.
    const QByteArray heldEcho = holdEcho_ ? request : QByteArray();
    const Micros lateBy = faults_.value(request.front()).lateBy.value_or(Micros{0});
    const auto sendHeldEcho = [&] {
        if (!heldEcho.isEmpty())
            send(heldEcho, end + lateBy, std::nullopt);
    };

    Sensor* sensor = nullptr;
    if (request.size() < 2) { // a lone "!" addresses nobody
        sendHeldEcho();
        return;
    }
    if (request == "?!") {
        // Only one sensor should be on the bus for this; the lowest address wins here.
        for (const auto& s : sensors_)
            if (!sensor || s->address() < sensor->address())
                sensor = s.get();
    } else {
        sensor = sensorAt(request.front());
    }
    const Faults faults = sensor ? faults_.value(sensor->address()) : Faults{};
    if (!sensor || faults.silent) {
        sendHeldEcho();
        return;
    }
    QByteArray body = request == "?!" ? QByteArray() : request.sliced(1, request.size() - 2);
    if (const QByteArray setting = sensor->settingMnemonic(body);
        !setting.isEmpty() && body.size() > setting.size()) { // a set, not a query
        if (faults.refuseSet.contains(setting)) {
            sendHeldEcho();
            return;
        }
        if (faults.differ.contains(setting))
            body = setting +
                   sensor->differentValue(setting, QByteArrayView(body).sliced(setting.size()));
    }
    std::optional<Reply> reply = sensor->answer(body, end);
    if (!reply) {
        sendHeldEcho();
        return;
    }

    std::optional<Micros> measuringTime;
    bool serviceRequest = false;
    if (reply->isMeasurement()) {
        measuringTime = reply->measuringTime;
        serviceRequest = reply->text.mid(reply->waitField, 3) != "000";
        if (faults.zeroWait) {
            reply->text.replace(reply->waitField, 3, "000");
            measuringTime = Micros{0};
            serviceRequest = false;
        }
        if (faults.measuringTime)
            measuringTime = faults.measuringTime;
        if (faults.noServiceRequest || faults.garbage)
            serviceRequest = false;
    }
    if (faults.garbage) // the sensor still measures; the host cannot tell
        reply->text = Faults::garbageText();
    const QByteArray lineEnd = faults.noCarriageReturn ? "\n" : "\r\n";
    Micros replyStart = end + responseDelay_;
    if (!heldEcho.isEmpty()) {
        sendHeldEcho();
        replyStart = end + lateBy;
    }
    const Micros replyEnd = send(reply->text + lineEnd, replyStart, TrafficRecord::Kind::Reply);

    if (measuringTime)
        startMeasuring(sensor, replyEnd + *measuringTime, serviceRequest, lineEnd);
}

Micros Bus::send(const QByteArray& bytes, Micros start, std::optional<TrafficRecord::Kind> kind) {
    start = std::max(start, outputFree_);
    Micros end = start;
    if (pacing_) {
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            end = start + charactersTime(i + 1);
            emitAt(end, bytes.mid(i, 1));
        }
    } else {
        emitAt(start, bytes);
    }
    if (kind)
        scheduler_.at(end, this, [this, record = TrafficRecord{*kind, bytes, start, end}] {
            this->record(record);
        });
    return end;
}

void Bus::record(const TrafficRecord& record) {
    if (recording_)
        traffic_.append(record);
    emit recorded(record);
}

} // namespace sim
