#include "FamilySettings.h"

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

QStringList entries(const widgets::DropDown& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.itemText(i);
    return texts;
}

// Chooses the entry of a list, as the user would before pressing its Set.
void choose(widgets::DropDown& list, const QString& text) {
    list.setCurrentIndex(list.findText(text));
}

QString loggingRefusal(const logging::Logger& logger, int p) {
    return logger.state().LogActive.at(static_cast<size_t>(p))
               ? QStringLiteral("Sensor %1 is logging: stop its log first.").arg(p)
               : QString();
}

bool choosePeriod(widgets::DropDown& periods, const QString& value) {
    if (periods.findText(value) < 0)
        return false;
    choose(periods, value);
    return true;
}

TableSettings::Entry pageSetting(const QString& label) {
    return {label, Kind::PageSetting, {}, {}, {}, {}};
}

TableSettings::Entry fixed(const QString& label, const QString& reason) {
    return {label, Kind::Fixed, reason, {}, {}, {}};
}

// A setting chosen from one of the page's lists and sent by the list's Set button.
template <class Family, class Page, class Commands>
TableSettings::Entry listSetting(Family& family, const char* label, const char* what,
                                 widgets::DropDown* Page::*control, void (Commands::*set)(int),
                                 void (Commands::*query)(int)) {
    return {QLatin1String(label),
            Kind::Setting,
            {},
            [&family, what, control](int p, const QString& value) {
                return TableSettings::listCheck(entries(*(family.page(p).*control)),
                                                QLatin1String(what), value);
            },
            [&family, control, set](int p, const QString& value) {
                choose(*(family.page(p).*control), value);
                (family.commands().*set)(p);
            },
            [&family, query](int p) { (family.commands().*query)(p); }};
}

} // namespace

LevelSettings::LevelSettings(levelprobe::LevelFamily& family)
    : TableSettings(family.link()), family_(family) {
    using levelprobe::LevelCommands;
    using levelprobe::LevelPage;
    using F = levelprobe::NumberKeyFilter;
    const auto list = [this](const char* label, const char* what,
                             widgets::DropDown* LevelPage::*control,
                             void (LevelCommands::*set)(int), void (LevelCommands::*query)(int)) {
        entries_.push_back(listSetting(family_, label, what, control, set, query));
    };
    const auto number = [this](const char* label, F::Sign sign, bool needsUnlock,
                               QLineEdit* LevelPage::*box, void (LevelCommands::*set)(int),
                               void (LevelCommands::*query)(int)) {
        entries_.push_back(
            {QLatin1String(label),
             Kind::Setting,
             {},
             [this, sign, needsUnlock](int p, const QString& value) {
                 if (needsUnlock && !family_.page(p).UnlockCheck->isChecked())
                     return QStringLiteral("Needs \"Unlock\" ticked on the page, as its Set "
                                           "does.");
                 return numberCheck(
                     [sign](QChar c, const QString& typed) { return F::accepts(c, typed, sign); },
                     value);
             },
             [this, box, set](int p, const QString& value) {
                 (family_.page(p).*box)->setText(value);
                 (family_.commands().*set)(p);
             },
             [this, query](int p) { (family_.commands().*query)(p); }});
    };
    list("Pressure Units", "pressure units", &LevelPage::PressUnitsCombo,
         &LevelCommands::PressUnitsBut_Click, &LevelCommands::PressUnitsQueryBut_Click);
    list("Temperature Units", "temperature units", &LevelPage::TempUnitsCombo,
         &LevelCommands::TempUnitsBut_Click, &LevelCommands::TempUnitsQueryBut_Click);
    list("Density Correction", "density corrections", &LevelPage::DensityCorrCombo,
         &LevelCommands::DensityCorrBut_Click, &LevelCommands::DensityCorrQueryBut_Click);
    number("Local Gravity", F::Sign::Unsigned, false, &LevelPage::LocalGravityText,
           &LevelCommands::LocalGravityBut_Click, &LevelCommands::LocalGravityQueryBut_Click);
    list("Reverse", "reverse settings", &LevelPage::ReverseCombo, &LevelCommands::ReverseBut_Click,
         &LevelCommands::ReverseQueryBut_Click);
    number("Range", F::Sign::Unsigned, true, &LevelPage::RangeText, &LevelCommands::RangeBut_Click,
           &LevelCommands::RangeQueryBut_Click);
    number("Maximium Over Range", F::Sign::Unsigned, true, &LevelPage::MaxOverRangeText,
           &LevelCommands::MaxRangeBut_Click, &LevelCommands::MaxOverRangeQueryBut_Click);
    number("Local Level", F::Sign::Signed, false, &LevelPage::LevelText,
           &LevelCommands::LevelBut_Click, &LevelCommands::LevelQueryBut_Click);
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
    using rotary::RotaryPage;
    const auto list = [this](const char* label, const char* what,
                             widgets::DropDown* RotaryPage::*control,
                             void (RotaryCommands::*set)(int), void (RotaryCommands::*query)(int)) {
        entries_.push_back(listSetting(family_, label, what, control, set, query));
    };
    entries_.push_back(fixed(QStringLiteral("Maximum Range"),
                             QStringLiteral("The page's own note, not a setting of the encoder.")));
    entries_.push_back(fixed(QStringLiteral("Counts Per Revolution"),
                             QStringLiteral("The encoder takes no request to set it.")));
    entries_.push_back(
        fixed(QStringLiteral("Measurement Resolution"),
              QStringLiteral("Follows from the units, the circumference and the counts.")));
    list("Measurement Units", "measurement units", &RotaryPage::RotaryMeasurementUnitsCombo,
         &RotaryCommands::RotaryMeasurementUnitsBut_Click,
         &RotaryCommands::QueryRotaryMeasurementUnitsBut_Click);
    entries_.push_back(
        {QStringLiteral("Pulley Circumference (mm)"),
         Kind::Setting,
         {},
         [](int, const QString& value) {
             return numberCheck(&RotaryCommands::acceptsNumberCharacter, value);
         },
         [this](int p, const QString& value) {
             family_.page(p).RotaryPulleyCircumText->setText(value);
             family_.commands().RotaryPulleyCircumBut_Click(p);
         },
         [this](int p) { family_.commands().QueryRotaryPulleyCircumfBut_Click(p); }});
    list("Rotation Direction", "rotation directions", &RotaryPage::RotaryDirectionCombo,
         &RotaryCommands::RotaryDirectionBut_Click, &RotaryCommands::QueryRotaryDirectionBut_Click);
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
