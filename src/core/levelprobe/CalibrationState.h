#pragma once

#include <array>
#include <cstddef>

namespace levelprobe {

// Flags of the calibration and reset sequences.
struct CalibrationState {
    bool Calibrate_Flag = false;      // a calibration or reset sequence drives the page
    bool UpdateReadings_Flag = false; // take a reading after the offsets were cleared
    // Per page: stage one has completed on that page since calibrate mode began.
    std::array<bool, 10> StageOne_Flag{};
    // Per page: stage one turned density correction on; leaving calibrate mode turns it off.
    std::array<bool, 10> DensityCorrectionOn{};

    bool stageOneDone(int page) const { return StageOne_Flag.at(static_cast<std::size_t>(page)); }
};

} // namespace levelprobe
