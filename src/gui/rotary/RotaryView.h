#pragma once

#include "core/rotary/RotaryRecord.h"

#include <array>

class QTreeWidget;

namespace rotary {

class RotaryPage;

// Shows encoder records: each field on its page's controls and in its sensor-list row.
class RotaryView {
public:
    RotaryView(std::array<RotaryPage*, 10> pages, QTreeWidget* list);

    void show(int p, const RotaryRecord& record, RotaryField field);
    void showAll(int p, const RotaryRecord& record);

private:
    std::array<RotaryPage*, 10> pages_;
    QTreeWidget* list_;
};

} // namespace rotary
