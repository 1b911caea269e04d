#pragma once

#include <span>

namespace levelprobe {

struct PressureUnit {
    const char* text;
    int code; // the sensor's unit number
};

// The pressure units a level probe knows, in list order. Codes 4, 7, 8 and 9 have no unit.
std::span<const PressureUnit> pressureUnits();

} // namespace levelprobe
