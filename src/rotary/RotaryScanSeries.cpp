#include "RotaryScanSeries.h"

#include "platform/Controls.h"

#include <QTreeWidget>

namespace rotary {

void RotaryScanSeries::clearRow(int page) {
    platform::clearRowTexts(list_, page);
}

void RotaryScanSeries::selectRow(int page) {
    list_->setCurrentItem(list_->topLevelItem(page));
}

} // namespace rotary
