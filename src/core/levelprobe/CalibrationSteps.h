#pragma once

#include <QCoroTask>

namespace levelprobe {

class LevelSensors;

// Stage one of a calibration on the probe at p: reverse output off, specific gravity 1.0,
// density correction on, trim offsets off, zero correction 0.0, slope 1.0, local offset not
// applied, XU1 0.0, one request after another in one hold of the bus. True when every step
// was answered (stage one then counts for p); a failure is told through the sensors' notice.
QCoro::Task<bool> stageOne(LevelSensors& sensors, int p);

// The reset of the probe at p to its factory state: eleven requests in one hold of the bus,
// the last the filter of 10 readings at interval 1. True when every step was answered.
QCoro::Task<bool> resetSensor(LevelSensors& sensors, int p);

} // namespace levelprobe
