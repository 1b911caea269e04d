#pragma once

#include "LevelAnswer.h"
#include "core/link/Code.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace levelprobe {

// The values a level probe's page and sensor-list row show, one per kind of answer.
enum class LevelField {
    Identification,
    SerialNumber,
    PressureUnits,
    TemperatureUnits,
    DensityCorrection,
    LocalGravity,
    Range,
    MaxOverRange,
    Reverse,
    LocalLevel,
    LocalOffset,
    Unlock,
    SampleRate,
    SpecificGravity,
    ZeroCalibration,
    SlopeCalibration,
    Reading,
};

// Everything known of the level probe at one address: what it answered last (its settings,
// identification and last reading) and the logging period chosen for it. The reply branches
// write it; the page and the sensor-list row show it.
struct LevelRecord {
    QStringList identification;
    QString serialNumber;
    std::optional<int> pressureUnit;      // the sensor's unit code
    std::optional<int> temperatureUnit;   // index: Centigrade, Fahrenheit
    std::optional<int> densityCorrection; // index: Compensated, Uncompensated
    QString localGravity;
    QString range;
    QString maxOverRange;
    std::optional<int> reverse; // index: Off, On
    QString localLevel;
    std::optional<bool> localOffset;
    std::optional<bool> unlock;
    QString sampleRate; // seconds, as the filter answer gives them
    QString specificGravity;
    QString zeroCalibration;
    QString slopeCalibration;
    QString pressure; // the last reading
    QString temperature;
    QString logPeriod; // the logging period chosen on the page

    bool operator==(const LevelRecord&) const = default;

    // Keeps what a reply says; gives the field it changed, none for an answer that holds
    // nothing to keep (a measurement's atttn, an empty data answer, a flag that is no flag).
    std::optional<LevelField> take(sdilink::Code code, const LevelAnswer& answer);
    // Empties a field whose request has gone: its answer fills it again.
    void clear(LevelField field);

    // The entry of pressureUnits() (and of the page's list, filled from it) naming the unit;
    // the last entry with the code wins.
    std::optional<int> pressureUnitEntry() const;
    // The texts the page, the sensor list and the report show.
    QString pressureUnitText() const;
    QString temperatureUnitText() const;
    QString densityCorrectionText() const;
    QString reverseText() const;
    QString sampleRateText() const;
};

// The entries of the page's fixed lists, in list order.
const QStringList& temperatureUnitNames();
const QStringList& densityCorrectionNames();
const QStringList& reverseNames();

} // namespace levelprobe
