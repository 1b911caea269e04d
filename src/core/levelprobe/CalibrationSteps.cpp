#include "CalibrationSteps.h"

#include "LevelSensors.h"
#include "SequenceRun.h"
#include "core/link/Link.h"

#include <array>

namespace levelprobe {

namespace {

// The steps are made outside the coroutines that run them.
std::array<SequenceStep, 8> stageOneSteps(LevelSensors& c) {
    CalibrationState& state = c.calibration();
    return {{
        {"reverse output off", [&c](int q) { c.ReverseSet(q, 0); }},
        {"specific gravity 1.0", [&c](int q) { c.SGSet(q, QStringLiteral("1.0")); }},
        {"density correction on",
         [&c, &state](int q) {
             state.DensityCorrectionOn.at(static_cast<size_t>(q)) = true;
             c.DensityCorrSet(q, 1);
         }},
        {"trim offsets off", [&c](int q) { c.TrimOffSet(q); }},
        {"zero correction 0.0", [&c](int q) { c.ZeroCalibrationSet(q, QStringLiteral("0.0")); }},
        {"slope 1.0", [&c](int q) { c.SlopeCalibrationSet(q, QStringLiteral("1.0")); }},
        {"local offset not applied", [&c](int q) { c.LocalOffsetSet(q, 0); }},
        {"XU1 0.0", [&c](int q) { c.XU1Set(q, QStringLiteral("0.0")); }},
    }};
}

std::array<SequenceStep, 11> resetSteps(LevelSensors& c) {
    return {{
        {"reverse output off", [&c](int q) { c.ReverseSet(q, 0); }},
        {"specific gravity 1.0", [&c](int q) { c.SGSet(q, QStringLiteral("1.0")); }},
        {"XU1 0.0", [&c](int q) { c.XU1Set(q, QStringLiteral("0.0")); }},
        {"local level 0", [&c](int q) { c.LevelSet(q, QStringLiteral("0")); }},
        {"zero correction 0.0", [&c](int q) { c.ZeroCalibrationSet(q, QStringLiteral("0.0")); }},
        {"slope 1.0", [&c](int q) { c.SlopeCalibrationSet(q, QStringLiteral("1.0")); }},
        {"local offset not applied", [&c](int q) { c.LocalOffsetSet(q, 0); }},
        {"trim offsets off", [&c](int q) { c.TrimOffSet(q); }},
        {"trim on 1", [&c](int q) { c.TrimOnSet(q, 1); }},
        {"calibration on", [&c](int q) { c.XancalonSet(q); }},
        {"filter 10 readings at interval 1", [&c](int q) { c.FilterSet(q, 10, 1); }},
    }};
}

QString title(bool reset) {
    return reset ? QStringLiteral("Reset Sensor.") : QStringLiteral("Stage One Calibration");
}

QString name(bool reset) {
    return reset ? QStringLiteral("The reset") : QStringLiteral("Stage one");
}

} // namespace

QCoro::Task<bool> stageOne(LevelSensors& sensors, int p) {
    const std::array<SequenceStep, 8> steps = stageOneSteps(sensors);
    CalibrationState& state = sensors.calibration();
    state.StageOne_Flag.at(static_cast<size_t>(p)) = false;
    SequenceRun run(sensors, p, true, title(false), name(false));
    sensors.lockPage(p);
    const bool done = co_await run.run(steps);
    if (!done)
        co_return false;
    sensors.link().beep();
    state.StageOne_Flag.at(static_cast<size_t>(p)) = true;
    co_return true;
}

QCoro::Task<bool> resetSensor(LevelSensors& sensors, int p) {
    const std::array<SequenceStep, 11> steps = resetSteps(sensors);
    SequenceRun run(sensors, p, true, title(true), name(true));
    sensors.lockPage(p);
    const bool done = co_await run.run(steps);
    co_return done;
}

} // namespace levelprobe
