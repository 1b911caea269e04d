#pragma once

namespace levelprobe {

// Flags of the calibration and reset sequences.
struct CalibrationState {
    bool Calibrate_Flag = false;      // a calibration or reset sequence drives the page
    bool StageOne_Flag = false;       // stage one has completed since calibrate mode began
    bool UpdateReadings_Flag = false; // take a reading after the offsets were cleared
};

} // namespace levelprobe
