#include "LogPeriodList.h"

#include "LevelPage.h"
#include "core/logging/LogPeriods.h"
#include "gui/logging/LogPages.h"
#include "gui/widgets/DropDown.h"

namespace levelprobe {

void FillLogPeriods(LevelPage& page, const QString& sampleRate, bool keepSelection) {
    widgets::DropDown& list = *page.LogPeriodCombo;
    const int chosen = keepSelection ? list.selectedItemCode() : 0;
    logging::fillLogPeriodList(list, logging::levelLogPeriods(sampleRate, chosen));
    if (chosen > 0)
        for (int i = 0; i < list.count(); ++i)
            if (list.itemCode(i) == chosen)
                list.setCurrentIndex(i);
}

} // namespace levelprobe
