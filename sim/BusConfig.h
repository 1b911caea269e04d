#pragma once

#include "Faults.h"
#include "Sensor.h"
#include "Timing.h"

#include <QList>
#include <QMap>
#include <QString>

namespace sim {

class Bus;

// What a bus holds, as the sdi12-sim command line (or a demo) describes it: which family at
// which address, pacing, faults and measurement times per address.
class BusConfig {
public:
    struct Entry {
        char address = '0';
        Sensor::Family family = Sensor::Family::LevelProbe;
    };

    QList<Entry> sensors;
    bool pacing = true;
    Micros responseDelay{0};
    QMap<char, Faults> faults;
    QMap<char, Micros> measurementTimes;
    QList<char> repeatMnemonic;

    // Level probes at 1, 3 and 5, rotary encoders at 2 and 4, paced at 1200 baud.
    static BusConfig demo();

    // Adds sensors of one family at the addresses listed as "1,3,5"; false, with error set,
    // when an element of the list is no single digit or letter, or an address is taken.
    bool addSensors(Sensor::Family family, const QString& addresses, QString* error);
    // Adds a fault "ADDRESS:KIND", KIND one of silent, no-cr, noise, garbage, zero-wait,
    // measure=MS, no-service-request, late or late=MS (late alone is 1000 ms), refuse=LETTERS
    // or differ=LETTERS (LETTERS a setting's mnemonic, e.g. XRA; repeatable for more).
    bool addFault(const QString& text, QString* error);
    // "ADDRESS=MS": how long a measurement at that address takes.
    bool addMeasurementTime(const QString& text, QString* error);
    // Rotary encoders at these addresses repeat the mnemonic in their answers.
    bool addRepeatMnemonic(const QString& addresses, QString* error);

    // Adds the sensors to the bus and sets its pacing, delay and faults.
    void applyTo(Bus& bus) const;

    static constexpr Micros kDefaultLate{1'000'000};

private:
    static bool parseAddresses(const QString& text, QList<char>* addresses, QString* error);
};

} // namespace sim
