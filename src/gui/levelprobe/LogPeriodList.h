#pragma once

#include <QString>

namespace levelprobe {

class LevelPage;

// Rebuilds a level-probe page's logging-period list from the sensor's maximum sample rate
// (logging::levelLogPeriods). With keepSelection the period chosen stays chosen (a log runs
// at it).
void FillLogPeriods(LevelPage& page, const QString& sampleRate, bool keepSelection = false);

} // namespace levelprobe
