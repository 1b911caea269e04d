#pragma once

namespace platform {

// Rounds to the nearest whole number; a value exactly halfway goes to the even neighbour
// (20.5 gives 20, 21.5 gives 22, -2.5 gives -2).
double roundHalfEven(double value);

} // namespace platform
