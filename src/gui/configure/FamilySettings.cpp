#include "FamilySettings.h"

#include "core/levelprobe/PressureUnits.h"
#include "core/logging/Logger.h"
#include "core/report/ConfigReport.h"
#include "gui/levelprobe/LevelFamily.h"
#include "gui/levelprobe/LevelPage.h"
#include "gui/levelprobe/NumberKeyFilter.h"
#include "gui/rotary/RotaryFamily.h"
#include "gui/rotary/RotaryPage.h"
#include "gui/widgets/DropDown.h"

#include <QCheckBox>
#include <QLineEdit>

namespace configure {

namespace {

using Kind = ConfigRow::Kind;

bool choosePeriod(widgets::DropDown& periods, const QString& value) {
    const int index = periods.findText(value);
    if (index < 0)
        return false;
    periods.setCurrentIndex(index);
    return true;
}

QString loggingRefusal(const logging::Logger& logger, int p) {
    return logger.state().LogActive.at(static_cast<size_t>(p))
               ? QStringLiteral("Sensor %1 is logging: stop its log first.").arg(p)
               : QString();
}

TableSettings::Entry pageSetting(const QString& label) {
    return {label, Kind::PageSetting, {}, {}, {}, {}};
}

TableSettings::Entry fixed(const QString& label, const QString& reason) {
    return {label, Kind::Fixed, reason, {}, {}, {}};
}

// A setting chosen from a list of names (the page's list holds the same names in the same
// order), sent by the entry's index as its Set button sends it; the page's list is left as
// the user had it.
TableSettings::Entry listSetting(const char* label, const char* what, QStringList names,
                                 std::function<void(int p, int index)> set,
                                 std::function<void(int p)> query) {
    return {QLatin1String(label),
            Kind::Setting,
            {},
            [names, what](int, const QString& value) {
                return TableSettings::listCheck(names, QLatin1String(what), value);
            },
            [names, set = std::move(set)](int p, const QString& value) {
                set(p, static_cast<int>(names.indexOf(value)));
            },
            std::move(query)};
}

// A number as the page's box holds it once it loses focus: a box that adds the zero makes
// ".5" "0.5".
QString boxText(const QString& value, bool addsZero) {
    return addsZero && value.startsWith(QLatin1Char('.')) ? QLatin1Char('0') + value : value;
}

QStringList pressureUnitNames() {
    QStringList names;
    for (const levelprobe::PressureUnit& unit : levelprobe::pressureUnits())
        names << QString::fromLatin1(unit.text);
    return names;
}

} // namespace

LevelSettings::LevelSettings(levelprobe::LevelFamily& family)
    : TableSettings(family.link()), family_(family) {
    using levelprobe::LevelCommands;
    using F = levelprobe::NumberKeyFilter;
    LevelCommands* c = &family_.commands();
    const auto query = [c](void (LevelCommands::*ask)(int)) {
        return [c, ask](int p) { (c->*ask)(p); };
    };
    const auto number = [this, c, query](const char* label, F::Sign sign, bool needsUnlock,
                                         bool addsZero,
                                         void (LevelCommands::*set)(int, const QString&),
                                         void (LevelCommands::*ask)(int)) {
        entries_.push_back(
            {QLatin1String(label),
             Kind::Setting,
             {},
             [this, sign, needsUnlock](int p, const QString& value) {
                 if (needsUnlock && !family_.page(p).UnlockCheck->isChecked())
                     return QStringLiteral("Needs \"Unlock\" ticked on the page, as its Set "
                                           "does.");
                 return numberCheck(
                     [sign](QChar ch, const QString& typed) { return F::accepts(ch, typed, sign); },
                     value);
             },
             [c, set, addsZero](int p, const QString& value) {
                 (c->*set)(p, boxText(value, addsZero));
             },
             query(ask)});
    };
    entries_.push_back(listSetting(
        "Pressure Units", "pressure units", pressureUnitNames(),
        [c](int p, int index) {
            c->PressUnitsSet(p, levelprobe::pressureUnits()[static_cast<size_t>(index)].code);
        },
        query(&LevelCommands::PressUnitsQueryBut_Click)));
    entries_.push_back(listSetting(
        "Temperature Units", "temperature units", levelprobe::temperatureUnitNames(),
        [c](int p, int index) { c->TempUnitsSet(p, index); },
        query(&LevelCommands::TempUnitsQueryBut_Click)));
    entries_.push_back(listSetting(
        "Density Correction", "density corrections", levelprobe::densityCorrectionNames(),
        [c](int p, int index) { c->DensityCorrSet(p, index); },
        query(&LevelCommands::DensityCorrQueryBut_Click)));
    number("Local Gravity", F::Sign::Unsigned, false, true, &LevelCommands::LocalGravitySet,
           &LevelCommands::LocalGravityQueryBut_Click);
    entries_.push_back(listSetting(
        "Reverse", "reverse settings", levelprobe::reverseNames(),
        [c](int p, int index) { c->ReverseSet(p, index); },
        query(&LevelCommands::ReverseQueryBut_Click)));
    number("Range", F::Sign::Unsigned, true, false, &LevelCommands::RangeSet,
           &LevelCommands::RangeQueryBut_Click);
    number("Maximium Over Range", F::Sign::Unsigned, true, false, &LevelCommands::MaxOverRangeSet,
           &LevelCommands::MaxOverRangeQueryBut_Click);
    number("Local Level", F::Sign::Signed, false, true, &LevelCommands::LevelSet,
           &LevelCommands::LevelQueryBut_Click);
    entries_.push_back(fixed(QStringLiteral("Max. Sample Rate"),
                             QStringLiteral("Follows from the filter (Filter window).")));
    entries_.push_back(pageSetting(QStringLiteral("Logging Period")));
}

report::ReadReport LevelSettings::current(int p) const {
    return report::readReport(report::fileText(report::levelReport(family_.record(p), p).lines));
}

QString LevelSettings::refusal(int p) const {
    if (family_.calibration().Calibrate_Flag)
        return QStringLiteral("Calibrate mode is on: leave it first.");
    return loggingRefusal(family_.logger(), p);
}

bool LevelSettings::setPageSetting(int p, const QString&, const QString& value) {
    return choosePeriod(*family_.page(p).LogPeriodCombo, value);
}

RotarySettings::RotarySettings(rotary::RotaryFamily& family)
    : TableSettings(family.link()), family_(family) {
    using rotary::RotaryCommands;
    RotaryCommands* c = &family_.commands();
    entries_.push_back(fixed(QStringLiteral("Maximum Range"),
                             QStringLiteral("The page's own note, not a setting of the encoder.")));
    entries_.push_back(fixed(QStringLiteral("Counts Per Revolution"),
                             QStringLiteral("The encoder takes no request to set it.")));
    entries_.push_back(
        fixed(QStringLiteral("Measurement Resolution"),
              QStringLiteral("Follows from the units, the circumference and the counts.")));
    entries_.push_back(listSetting(
        "Measurement Units", "measurement units", rotary::unitNames(),
        [c](int p, int index) { c->RotaryMeasurementUnitsSet(p, index); },
        [c](int p) { c->QueryRotaryMeasurementUnitsBut_Click(p); }));
    entries_.push_back({QStringLiteral("Pulley Circumference (mm)"),
                        Kind::Setting,
                        {},
                        [](int, const QString& value) {
                            return numberCheck(&RotaryCommands::acceptsNumberCharacter, value);
                        },
                        [c](int p, const QString& value) { c->RotaryPulleyCircumSet(p, value); },
                        [c](int p) { c->QueryRotaryPulleyCircumfBut_Click(p); }});
    entries_.push_back(listSetting(
        "Rotation Direction", "rotation directions", rotary::directionNames(),
        [c](int p, int index) { c->RotaryDirectionSet(p, index); },
        [c](int p) { c->QueryRotaryDirectionBut_Click(p); }));
    entries_.push_back(pageSetting(QStringLiteral("Logging Period")));
}

report::ReadReport RotarySettings::current(int p) const {
    return report::readReport(report::fileText(report::rotaryReport(family_.record(p), p).lines));
}

QString RotarySettings::refusal(int p) const {
    return loggingRefusal(family_.logger(), p);
}

bool RotarySettings::setPageSetting(int p, const QString&, const QString& value) {
    return choosePeriod(*family_.page(p).RotaryLogPeriodCombo, value);
}

} // namespace configure
