#pragma once

#include "core/levelprobe/LevelRecord.h"

#include <array>

class QTreeWidget;

namespace levelprobe {

class LevelPage;

// Shows level-probe records: each field on its page's controls and in its sensor-list row.
class LevelView {
public:
    LevelView(std::array<LevelPage*, 10> pages, QTreeWidget* list);

    // Shows one field of page p's record. A check box whose value changes sends it on, as a
    // click would.
    void show(int p, const LevelRecord& record, LevelField field);
    // Shows every field but the check boxes, which act on a change of value: whoever moves a
    // record decides what they tell the sensor.
    void showAll(int p, const LevelRecord& record);

private:
    std::array<LevelPage*, 10> pages_;
    QTreeWidget* list_;
};

} // namespace levelprobe
