#pragma once

#include "core/protocol/Settings.h"

#include <span>

namespace levelprobe {

// A level probe's settings as its configuration report names them, in the order they are
// applied: the pressure units first (the sensor gives its range, over-range and level in
// that unit).
std::span<const protocol::Setting> settingTable();

} // namespace levelprobe
