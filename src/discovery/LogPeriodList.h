#pragma once

namespace levelprobe {
class LevelPage;
}

namespace discovery {

// Rebuilds a level-probe page's logging-period list from the sensor's maximum sample rate:
// "Single Log" and every period longer than the rate plus one second.
void FillLogPeriods(levelprobe::LevelPage& page);

} // namespace discovery
