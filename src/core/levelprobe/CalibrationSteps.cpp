#include "CalibrationSteps.h"

#include "LevelSensors.h"
#include "SequenceRun.h"
#include "core/link/Link.h"

#include <array>

namespace levelprobe {

QCoro::Task<bool> stageOne(LevelSensors& sensors, int p) {
    LevelSensors& c = sensors;
    CalibrationState& state = sensors.calibration();
    const std::array<SequenceStep, 8> steps{{
        {"reverse output off", [&](int q) { c.ReverseSet(q, 0); }},
        {"specific gravity 1.0", [&](int q) { c.SGSet(q, QStringLiteral("1.0")); }},
        {"density correction on",
         [&](int q) {
             state.DensityCorrectionOn.at(static_cast<size_t>(q)) = true;
             c.DensityCorrSet(q, 1);
         }},
        {"trim offsets off", [&](int q) { c.TrimOffSet(q); }},
        {"zero correction 0.0", [&](int q) { c.ZeroCalibrationSet(q, QStringLiteral("0.0")); }},
        {"slope 1.0", [&](int q) { c.SlopeCalibrationSet(q, QStringLiteral("1.0")); }},
        {"local offset not applied", [&](int q) { c.LocalOffsetSet(q, 0); }},
        {"XU1 0.0", [&](int q) { c.XU1Set(q, QStringLiteral("0.0")); }},
    }};
    state.StageOne_Flag.at(static_cast<size_t>(p)) = false;
    SequenceRun run(sensors, p, true, QStringLiteral("Stage One Calibration"),
                    QStringLiteral("Stage one"));
    sensors.lockPage(p);
    const bool done = co_await run.run(steps);
    if (!done)
        co_return false;
    sensors.link().beep();
    state.StageOne_Flag.at(static_cast<size_t>(p)) = true;
    co_return true;
}

QCoro::Task<bool> resetSensor(LevelSensors& sensors, int p) {
    LevelSensors& c = sensors;
    const std::array<SequenceStep, 11> steps{{
        {"reverse output off", [&](int q) { c.ReverseSet(q, 0); }},
        {"specific gravity 1.0", [&](int q) { c.SGSet(q, QStringLiteral("1.0")); }},
        {"XU1 0.0", [&](int q) { c.XU1Set(q, QStringLiteral("0.0")); }},
        {"local level 0", [&](int q) { c.LevelSet(q, QStringLiteral("0")); }},
        {"zero correction 0.0", [&](int q) { c.ZeroCalibrationSet(q, QStringLiteral("0.0")); }},
        {"slope 1.0", [&](int q) { c.SlopeCalibrationSet(q, QStringLiteral("1.0")); }},
        {"local offset not applied", [&](int q) { c.LocalOffsetSet(q, 0); }},
        {"trim offsets off", [&](int q) { c.TrimOffSet(q); }},
        {"trim on 1", [&](int q) { c.TrimOnSet(q, 1); }},
        {"calibration on", [&](int q) { c.XancalonSet(q); }},
        {"filter 10 readings at interval 1", [&](int q) { c.FilterSet(q, 10, 1); }},
    }};
    SequenceRun run(sensors, p, true, QStringLiteral("Reset Sensor."), QStringLiteral("The reset"));
    sensors.lockPage(p);
    co_return co_await run.run(steps);
}

} // namespace levelprobe
