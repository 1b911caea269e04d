#pragma once

#include "core/configure/SettingsAccess.h"

namespace levelprobe {
class LevelFamily;
}
namespace rotary {
class RotaryFamily;
}

namespace configure {

// The level probes' settings: the units first (the sensor gives its range, over-range and
// level in them, so those follow), then temperature, density, gravity and reverse, then the
// range and over-range (which need "Unlock" ticked on the page) and the local level.
class LevelSettings final : public TableSettings {
public:
    explicit LevelSettings(levelprobe::LevelFamily& family);

    bool rotary() const override { return false; }
    bool present(int p) const override;
    report::ReadReport current(int p) const override;
    QString refusal(int p) const override;
    bool setPageSetting(int p, const QString& label, const QString& value) override;

private:
    levelprobe::LevelFamily& family_;
};

// The encoders' settings: units, circumference and direction; the counts per revolution,
// the resolution and the maximum range are shown, never sent.
class RotarySettings final : public TableSettings {
public:
    explicit RotarySettings(rotary::RotaryFamily& family);

    bool rotary() const override { return true; }
    bool present(int p) const override;
    report::ReadReport current(int p) const override;
    QString refusal(int p) const override;
    bool setPageSetting(int p, const QString& label, const QString& value) override;

private:
    rotary::RotaryFamily& family_;
};

} // namespace configure
