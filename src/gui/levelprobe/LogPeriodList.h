#pragma once

namespace levelprobe {

class LevelPage;

// Rebuilds a level-probe page's logging-period list from the sensor's maximum sample rate:
// "Single Log" and every period longer than the rate plus one second. With keepSelection
// the period chosen stays chosen when it is still offered (a log runs at it).
void FillLogPeriods(LevelPage& page, bool keepSelection = false);

} // namespace levelprobe
