#pragma once

#include "SettingsAccess.h"

#include <functional>

namespace levelprobe {
class LevelSensors;
}
namespace rotary {
class RotarySensors;
}

namespace configure {

// Chooses a setting that is the window's own (the logging period in the page's list): false
// when the value is not offered. Without a window, none is chosen.
using PageSetting = std::function<bool(int p, const QString& label, const QString& value)>;

// The level probes' settings: the units first (the sensor gives its range, over-range and
// level in them, so those follow), then temperature, density, gravity and reverse, then the
// range and over-range (which need the sensor unlocked) and the local level.
class LevelSettings final : public TableSettings {
public:
    LevelSettings(levelprobe::LevelSensors& sensors, PageSetting pageSetting = {});

    bool rotary() const override { return false; }
    bool present(int p) const override;
    report::ReadReport current(int p) const override;
    bool answered(int p, const QString& label) const override;
    QString refusal(int p) const override;
    bool setPageSetting(int p, const QString& label, const QString& value) override;

private:
    levelprobe::LevelSensors& sensors_;
    PageSetting pageSetting_;
};

// The encoders' settings: units, circumference and direction; the counts per revolution,
// the resolution and the maximum range are shown, never sent.
class RotarySettings final : public TableSettings {
public:
    RotarySettings(rotary::RotarySensors& sensors, PageSetting pageSetting = {});

    bool rotary() const override { return true; }
    bool present(int p) const override;
    report::ReadReport current(int p) const override;
    bool answered(int p, const QString& label) const override;
    QString refusal(int p) const override;
    bool setPageSetting(int p, const QString& label, const QString& value) override;

private:
    rotary::RotarySensors& sensors_;
    PageSetting pageSetting_;
};

} // namespace configure
