#include "FamilySettings.h"

#include "core/levelprobe/LevelSensors.h"
#include "core/levelprobe/LevelSettingTable.h"
#include "core/levelprobe/PressureUnits.h"
#include "core/logging/Logger.h"
#include "core/report/ConfigReport.h"
#include "core/rotary/RotarySensors.h"
#include "core/rotary/RotarySettingTable.h"

namespace configure {

namespace {

using Kind = ConfigRow::Kind;

QString loggingRefusal(const logging::Logger& logger, int p) {
    return logger.state().LogActive.at(static_cast<size_t>(p))
               ? QStringLiteral("Sensor %1 is logging: stop its log first.").arg(p)
               : QString();
}

TableSettings::Entry pageEntry(const QString& label) {
    return {label, Kind::PageSetting, {}, {}, {}, {}};
}

TableSettings::Entry fixed(const QString& label, const QString& reason) {
    return {label, Kind::Fixed, reason, {}, {}, {}};
}

// A setting of a family's table: checked by the core's rules, sent with the value as it
// goes (a list's entry index, a number as its box holds it) through the same calls as its
// page's Set button; the page's controls are left as the user had them.
TableSettings::Entry tableSetting(const protocol::Setting& setting,
                                  std::function<bool(int p)> unlocked,
                                  std::function<void(int p, int index)> setEntry,
                                  std::function<void(int p, const QString& number)> setNumber,
                                  std::function<void(int p)> query) {
    return {setting.label,
            Kind::Setting,
            {},
            [&setting, unlocked = std::move(unlocked)](int p, const QString& value) {
                return protocol::refusal(setting, value, unlocked && unlocked(p));
            },
            [&setting, setEntry = std::move(setEntry),
             setNumber = std::move(setNumber)](int p, const QString& value) {
                if (setting.isList()) {
                    if (const std::optional<int> index = protocol::entryIndex(setting, value))
                        setEntry(p, *index);
                } else {
                    setNumber(p, protocol::sentNumber(setting, value));
                }
            },
            std::move(query)};
}

} // namespace

LevelSettings::LevelSettings(levelprobe::LevelSensors& sensors, PageSetting pageSetting)
    : TableSettings(sensors.link()), sensors_(sensors), pageSetting_(std::move(pageSetting)) {
    using sdilink::Code;
    levelprobe::LevelSensors* c = &sensors_;
    const auto unlocked = [c](int p) { return c->unlockTicked(p); };
    for (const protocol::Setting& setting : levelprobe::settingTable()) {
        std::function<void(int, int)> setEntry = [c, code = setting.set](int p, int index) {
            switch (code) {
            case Code::PressUnitsSet:
                c->PressUnitsSet(p, levelprobe::pressureUnits()[static_cast<size_t>(index)].code);
                break;
            case Code::TempUnitsSet:
                c->TempUnitsSet(p, index);
                break;
            case Code::DensityCorrSet:
                c->DensityCorrSet(p, index);
                break;
            default:
                c->ReverseSet(p, index);
            }
        };
        std::function<void(int, const QString&)> setNumber =
            [c, code = setting.set](int p, const QString& value) {
                switch (code) {
                case Code::LocalGravitySet:
                    c->LocalGravitySet(p, value);
                    break;
                case Code::RangeSet:
                    c->RangeSet(p, value);
                    break;
                case Code::MaxOverRangeSet:
                    c->MaxOverRangeSet(p, value);
                    break;
                default:
                    c->LevelSet(p, value);
                }
            };
        const auto query = [c, code = setting.query](int p) { c->query(p, code); };
        entries_.push_back(
            tableSetting(setting, unlocked, std::move(setEntry), std::move(setNumber), query));
    }
    entries_.push_back(fixed(QStringLiteral("Max. Sample Rate"),
                             QStringLiteral("Follows from the filter (Filter window).")));
    entries_.push_back(pageEntry(QStringLiteral("Logging Period")));
}

bool LevelSettings::present(int p) const {
    return sensors_.present(p);
}

report::ReadReport LevelSettings::current(int p) const {
    return report::readReport(report::fileText(report::levelReport(sensors_.record(p), p).lines));
}

bool LevelSettings::answered(int p, const QString& label) const {
    const protocol::Setting* setting = protocol::findSetting(levelprobe::settingTable(), label);
    const auto field = setting ? levelprobe::queriedField(setting->query) : std::nullopt;
    return !field || !sensors_.record(p).awaitsAnswer(*field);
}

QString LevelSettings::refusal(int p) const {
    if (sensors_.calibration().Calibrate_Flag)
        return QStringLiteral("Calibrate mode is on: leave it first.");
    return loggingRefusal(sensors_.logger(), p);
}

bool LevelSettings::setPageSetting(int p, const QString& label, const QString& value) {
    return pageSetting_ && pageSetting_(p, label, value);
}

RotarySettings::RotarySettings(rotary::RotarySensors& sensors, PageSetting pageSetting)
    : TableSettings(sensors.link()), sensors_(sensors), pageSetting_(std::move(pageSetting)) {
    using sdilink::Code;
    rotary::RotarySensors* c = &sensors_;
    entries_.push_back(fixed(QStringLiteral("Maximum Range"),
                             QStringLiteral("The page's own note, not a setting of the encoder.")));
    entries_.push_back(fixed(QStringLiteral("Counts Per Revolution"),
                             QStringLiteral("The encoder takes no request to set it.")));
    entries_.push_back(
        fixed(QStringLiteral("Measurement Resolution"),
              QStringLiteral("Follows from the units, the circumference and the counts.")));
    for (const protocol::Setting& setting : rotary::settingTable()) {
        std::function<void(int, int)> setEntry = [c, code = setting.set](int p, int index) {
            if (code == Code::RotaryUnitsSet)
                c->RotaryMeasurementUnitsSet(p, index);
            else
                c->RotaryDirectionSet(p, index);
        };
        std::function<void(int, const QString&)> setNumber = [c](int p, const QString& value) {
            c->RotaryPulleyCircumSet(p, value);
        };
        const auto query = [c, code = setting.query](int p) { c->query(p, code); };
        entries_.push_back(
            tableSetting(setting, {}, std::move(setEntry), std::move(setNumber), query));
    }
    entries_.push_back(pageEntry(QStringLiteral("Logging Period")));
}

bool RotarySettings::present(int p) const {
    return sensors_.present(p);
}

report::ReadReport RotarySettings::current(int p) const {
    return report::readReport(report::fileText(report::rotaryReport(sensors_.record(p), p).lines));
}

bool RotarySettings::answered(int p, const QString& label) const {
    const protocol::Setting* setting = protocol::findSetting(rotary::settingTable(), label);
    const auto field = setting ? rotary::queriedField(setting->query) : std::nullopt;
    return !field || !sensors_.record(p).awaitsAnswer(*field);
}

QString RotarySettings::refusal(int p) const {
    return loggingRefusal(sensors_.logger(), p);
}

bool RotarySettings::setPageSetting(int p, const QString& label, const QString& value) {
    return pageSetting_ && pageSetting_(p, label, value);
}

} // namespace configure
