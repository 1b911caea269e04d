#include "PressureUnits.h"

#include <array>

namespace levelprobe {

std::span<const PressureUnit> pressureUnits() {
    static constexpr std::array<PressureUnit, 11> kUnits{{{"mH2O", 0},
                                                          {"ftH2O", 1},
                                                          {"inH2O", 2},
                                                          {"bar", 3},
                                                          {"mmWg", 5},
                                                          {"cmWg", 6},
                                                          {"mH2O Absolute", 10},
                                                          {"mm Hg", 11},
                                                          {"Inch Hg", 12},
                                                          {"mbar", 13},
                                                          {"KPa", 14}}};
    return kUnits;
}

} // namespace levelprobe
