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

// The field whose page box a query empties until its answer comes; none for a query the
// page shows no wait for.
std::optional<RotaryField> queriedField(Code code);

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
    // The fields whose request went and whose answer has not come, a bit per RotaryField.
    // The page shows them empty until it comes; the value answered before stays, and the
    // log, the reports, Apply and Compare go on using it.
    quint32 awaiting = 0;

    bool operator==(const RotaryRecord&) const = default;

    // Keeps what a reply says; gives the field it changed, none for an answer that holds
    // nothing to keep. A unit or circumference set and a counts answer work the measurement
    // resolution out again. The field it changed no longer awaits an answer.
    std::optional<RotaryField> take(Code code, const RotaryAnswer& answer);
    // A request that the field's answer fills has gone.
    void awaitAnswer(RotaryField field) { awaiting |= bits(field); }
    bool awaitsAnswer(RotaryField field) const { return (awaiting & bits(field)) != 0; }

    QString unitsText() const;
    QString directionText() const;

private:
    // The value set or queried and the last reading are one value: either answer ends the
    // wait of both.
    static quint32 bits(RotaryField field) {
        if (field == RotaryField::Reading || field == RotaryField::CurrentValue)
            return bit(RotaryField::Reading) | bit(RotaryField::CurrentValue);
        return bit(field);
    }
    static quint32 bit(RotaryField field) { return 1u << static_cast<unsigned>(field); }
    std::optional<RotaryField> keep(Code code, const RotaryAnswer& answer);
};

// The entries of the page's fixed lists, in list order.
const QStringList& unitNames();
const QStringList& directionNames();

} // namespace rotary
