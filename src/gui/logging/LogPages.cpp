#include "LogPages.h"

#include "LogFrame.h"
#include "core/logging/Logger.h"
#include "gui/widgets/DropDown.h"

namespace logging {

void fillLogPeriodList(widgets::DropDown& list, std::span<const LogPeriod> periods) {
    list.clear();
    for (const LogPeriod& period : periods)
        list.addEntry(QString::fromLatin1(period.text), period.seconds);
    list.setCurrentIndex(0);
}

void showLogs(Logger& logger, const std::array<LogFrame*, 10>& frames) {
    for (size_t i = 0; i < frames.size(); ++i)
        if (frames[i] != nullptr)
            frames[i]->setLog(logger.log(static_cast<int>(i)));
}

void followPeriodLists(Logger& logger, const std::array<widgets::DropDown*, 10>& lists) {
    for (size_t i = 0; i < lists.size(); ++i) {
        widgets::DropDown* list = lists[i];
        if (list == nullptr)
            continue;
        const int tab = static_cast<int>(i);
        const auto follow = [&logger, list, tab] {
            logger.setPeriod(tab, list->selectedItemCode());
        };
        QObject::connect(list, &widgets::DropDown::currentIndexChanged, list, follow);
        follow();
    }
}

} // namespace logging
