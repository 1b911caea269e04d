#pragma once

#include "core/protocol/Settings.h"

#include <span>

namespace rotary {

// A rotary encoder's settings as its configuration report names them, in the order they are
// applied.
std::span<const protocol::Setting> settingTable();

} // namespace rotary
