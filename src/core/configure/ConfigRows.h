#pragma once

#include "core/report/ReportReader.h"

#include <QString>
#include <vector>

namespace configure {

// Two values of a setting are the same when both are numbers and equal ("+9.81000" and
// "9.8100", ".5" and "0.5"), or else when their texts are.
bool sameValue(const QString& a, const QString& b);

// One line of a configuration table: a setting (or an identity line) of a sensor beside the
// same line of a file or of another sensor, what can be done with it and, after an apply,
// how it ended.
struct ConfigRow {
    enum class Kind {
        Identity,    // identification, serial number, address: shown, never applied
        Setting,     // set by the page's own request, then read back
        Fixed,       // follows from other settings or cannot be set: shown greyed
        PageSetting, // the tool's setting for the sensor (the logging period)
    };
    enum class Outcome { None, Applied, Different, Failed, NotApplicable, NotSent };

    QString label;
    QString now;   // the sensor's value
    QString other; // the file's value, or the other sensor's
    Kind kind = Kind::Identity;
    QString reason; // why a row is not applied, or why its value is not applicable
    bool ticked = false;
    Outcome outcome = Outcome::None;
    // The value read back that differs, the request that got no answer, why a row was not
    // sent.
    QString detail;

    bool differs() const { return !sameValue(now, other); }
    // A setting whose value the sensor could take.
    bool applicable() const { return kind == Kind::Setting && reason.isEmpty(); }
};

// The rows of a sensor beside a file or another sensor of the same family: the
// identification, the serial number and the address, then every setting line in report
// order. Every row starts as an identity or a setting row, unticked.
std::vector<ConfigRow> compareReports(const report::ReadReport& sensor,
                                      const report::ReadReport& other);

// "7 applied, 1 different, 0 failed", with the rows not applicable when there are any.
QString summary(const std::vector<ConfigRow>& rows);

// The text of a row's outcome as the table shows it.
QString outcomeText(const ConfigRow& row);

} // namespace configure
