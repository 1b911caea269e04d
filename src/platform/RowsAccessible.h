#pragma once

namespace platform {

// Lets assistive tools read a list of rows (platform::RowsView) as a list of items, one per
// row, each named by its row's texts. Installed once, by the first list of rows made.
void installRowsAccessibility();

} // namespace platform
