#include "RotaryScanSeries.h"

#include "SensorLists.h"

namespace discovery {

QTreeWidget* RotaryScanSeries::list() const {
    return lists_.RotaryListView;
}

void RotaryScanSeries::clearRow(int page) {
    lists_.ClearRotaryRow(page);
}

} // namespace discovery
