#pragma once

#include "RotaryAnswer.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace rotary {

// The values an encoder's page and sensor-list row show, one per kind of answer.
enum class RotaryField {
    Identification,
    SerialNumber,
    Units,
    PulleyCircumference,
    Direction,
    CountsPerRev,
    CurrentValue,
    Reading,
};

// Everything known of the encoder at one address: what it answered last, the measurement
// resolution that follows from it, and the page's own settings (maximum range, logging
// period). The reply branches write it; the page and the sensor-list row show it.
struct RotaryRecord {
    QStringList identification;
    QString serialNumber;
    std::optional<int> units;     // index: Metres, Millimetres, Inches, Feet
    QString pulleyCircumference;  // mm
    std::optional<int> direction; // index: Anticlockwise, Clockwise
    QString countsPerRev;
    QString currentValue; // the value set or queried, or the last reading
    QString measurementRes;
    QString maxRange;
    QString logPeriod;

    bool operator==(const RotaryRecord&) const = default;

    // Keeps what a reply says; gives the field it changed, none for an answer that holds
    // nothing to keep. A unit or circumference set and a counts answer work the measurement
    // resolution out again.
    std::optional<RotaryField> take(Code code, const RotaryAnswer& answer);
    // Empties a field whose request has gone: its answer fills it again.
    void clear(RotaryField field);

    QString unitsText() const;
    QString directionText() const;
};

// The entries of the page's fixed lists, in list order.
const QStringList& unitNames();
const QStringList& directionNames();

} // namespace rotary
