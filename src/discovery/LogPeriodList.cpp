#include "LogPeriodList.h"

#include "levelprobe/LevelPage.h"
#include "logging/LogPeriods.h"
#include "platform/DropDown.h"
#include "platform/Numbers.h"

#include <QLineEdit>
#include <vector>

namespace discovery {

void FillLogPeriods(levelprobe::LevelPage& page) {
    const float T = static_cast<float>(platform::leadingNumber(page.SampleRateText->text())) + 1.0f;
    std::vector<logging::LogPeriod> offered;
    for (const logging::LogPeriod& period : logging::allLogPeriods())
        if (period.seconds == 0 || T < static_cast<float>(period.seconds))
            offered.push_back(period);
    logging::fillLogPeriodList(*page.LogPeriodCombo, offered);
}

} // namespace discovery
