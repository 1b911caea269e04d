#include "LogPeriodList.h"

#include "LevelPage.h"
#include "core/protocol/Numbers.h"
#include "gui/logging/LogPages.h"
#include "gui/widgets/DropDown.h"

#include <QLineEdit>
#include <algorithm>
#include <vector>

namespace levelprobe {

void FillLogPeriods(LevelPage& page, bool keepSelection) {
    // Single precision, as the sensor's rate was always compared; clamped so that no text can
    // overflow it.
    const double rate =
        std::clamp(protocol::leadingNumber(page.SampleRateText->text()), -1e30, 1e30);
    const float T = static_cast<float>(rate) + 1.0f;
    widgets::DropDown& list = *page.LogPeriodCombo;
    const int chosen = keepSelection ? list.selectedItemCode() : 0;
    std::vector<logging::LogPeriod> offered;
    // A running log keeps its period even when the new rate no longer offers it.
    for (const logging::LogPeriod& period : logging::allLogPeriods())
        if (period.seconds == 0 || T < static_cast<float>(period.seconds) ||
            (chosen > 0 && period.seconds == chosen))
            offered.push_back(period);
    logging::fillLogPeriodList(list, offered);
    if (chosen > 0)
        for (int i = 0; i < list.count(); ++i)
            if (list.itemCode(i) == chosen)
                list.setCurrentIndex(i);
}

} // namespace levelprobe
