#pragma once

#include "Faults.h"
#include "Scheduler.h"
#include "Sensor.h"
#include "TrafficRecord.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <memory>
#include <optional>
#include <vector>

namespace sim {

class LevelProbe;
class RotaryEncoder;

// An SDI-12 bus behind a serial interface, seen from the host's side of the interface.
//
// The host's bytes go in through receive(); a request is complete at its "!". The interface
// echoes every byte as it goes out on the bus; then the addressed sensor answers one line
// ending in CR LF. An address without a sensor, or a request the sensor does not know, gets
// nothing back but the echo.
//
// A measurement's data are ready at the end of its measuring time, counted from the end of
// the measurement reply; a sensor that announced a wait sends its service request ("a"
// CR LF) then. A break before that, alone or before a request to any address, aborts the
// measurement: its data answer stays empty and no service request comes.
//
// Everything the bus sends comes out through transmitted(), later, from the scheduler, never
// inside receive(). With pacing on every character takes 8.33 ms, echo included, and comes
// out on its own when it is complete; without pacing a line comes out in one piece.
class Bus final : public QObject {
    Q_OBJECT
public:
    explicit Bus(Scheduler& scheduler, QObject* parent = nullptr);
    ~Bus() override;

    LevelProbe& addLevelProbe(char address);
    RotaryEncoder& addRotaryEncoder(char address);
    Sensor& addSensor(std::unique_ptr<Sensor> sensor);
    // The sensor answering at an address (the first added when several share it).
    Sensor* sensorAt(char address) const;
    const std::vector<std::unique_ptr<Sensor>>& sensors() const { return sensors_; }

    void setPacing(bool on) { pacing_ = on; }
    bool pacing() const { return pacing_; }
    // Time between the end of a request and the start of the answer.
    void setResponseDelay(Micros delay) { responseDelay_ = delay; }
    Micros responseDelay() const { return responseDelay_; }

    void setFaults(char address, const Faults& faults);
    Faults faults(char address) const { return faults_.value(address); }

    // Bytes from the host, arriving now.
    void receive(QByteArrayView bytes);
    // The host's break: aborts measurements in progress and any half-received request.
    void lineBreak();

    // Every request received and every line a sensor sent, in the order they completed.
    const QList<TrafficRecord>& traffic() const { return traffic_; }
    void clearTraffic() { traffic_.clear(); }
    void setRecording(bool on) { recording_ = on; }

    Scheduler& scheduler() const { return scheduler_; }
    Micros characterTime() const { return pacing_ ? charactersTime(1) : Micros{0}; }

Q_SIGNALS:
    // Bytes towards the host.
    void transmitted(const QByteArray& bytes);
    // A request or a sensor's line has completed.
    void recorded(const sim::TrafficRecord& record);

private:
    void requestComplete(const QByteArray& request, Micros start, Micros end);
    // A break at time ends the measurement under way: complete when its time is over,
    // aborted when not.
    void breakAt(Micros time);
    void startMeasuring(Sensor* sensor, Micros readyAt, bool serviceRequest,
                        const QByteArray& lineEnd);
    // Sends bytes so that the first starts no earlier than start, and records them under
    // kind (the echo is not recorded); returns when the last one is complete.
    Micros send(const QByteArray& bytes, Micros start, std::optional<TrafficRecord::Kind> kind);
    void emitAt(Micros time, const QByteArray& bytes);
    void record(const TrafficRecord& record);

    Scheduler& scheduler_;
    std::vector<std::unique_ptr<Sensor>> sensors_;
    QHash<char, Faults> faults_;
    bool pacing_ = false;
    bool recording_ = true;
    Micros responseDelay_{0};
    QByteArray request_;
    bool holdEcho_ = false; // the request's address has the late fault
    Micros requestStart_{0};
    Micros inputFree_{0}; // when the host's last byte is complete
    Micros inputBase_{0}; // start of the host's present burst of characters
    qint64 inputCount_ = 0;
    Micros outputFree_{0};   // when the last byte sent towards the host is complete
    quint64 generation_ = 0; // counts requests and breaks
    struct Measuring {
        Sensor* sensor = nullptr;
        Micros readyAt{0};
        quint64 generation = 0; // of the request that started it
    };
    std::optional<Measuring> measuring_; // the one measurement a break has not ended yet
    QList<TrafficRecord> traffic_;
};

} // namespace sim
