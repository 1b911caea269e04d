#pragma once

namespace widgets {

// Lets assistive tools read a list of rows (widgets::RowsView) as a list of items, one per
// row, each named by its row's texts. Installed once, by the first list of rows made.
void installRowsAccessibility();

} // namespace widgets
