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

// The field whose page box a query empties until its answer comes; none for a query the
// page shows no wait for.
std::optional<LevelField> queriedField(sdilink::Code code);

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
    // The fields whose request went and whose answer has not come, a bit per LevelField.
    // The page shows them empty until it comes; the value answered before stays, and the
    // log, the reports, Apply and Compare go on using it.
    quint32 awaiting = 0;

    bool operator==(const LevelRecord&) const = default;

    // Keeps what a reply says; gives the field it changed, none for an answer that holds
    // nothing to keep (a measurement's atttn, an empty data answer, a flag that is no flag).
    // The field it changed no longer awaits an answer.
    std::optional<LevelField> take(sdilink::Code code, const LevelAnswer& answer);
    // A request that the field's answer fills has gone.
    void awaitAnswer(LevelField field) { awaiting |= bit(field); }
    bool awaitsAnswer(LevelField field) const { return (awaiting & bit(field)) != 0; }

    // The entry of pressureUnits() (and of the page's list, filled from it) naming the unit;
    // the last entry with the code wins.
    std::optional<int> pressureUnitEntry() const;
    // The texts the page, the sensor list and the report show.
    QString pressureUnitText() const;
    QString temperatureUnitText() const;
    QString densityCorrectionText() const;
    QString reverseText() const;
    QString sampleRateText() const;

private:
    static quint32 bit(LevelField field) { return 1u << static_cast<unsigned>(field); }
    std::optional<LevelField> keep(sdilink::Code code, const LevelAnswer& answer);
};

// The entries of the page's fixed lists, in list order.
const QStringList& temperatureUnitNames();
const QStringList& densityCorrectionNames();
const QStringList& reverseNames();

} // namespace levelprobe
