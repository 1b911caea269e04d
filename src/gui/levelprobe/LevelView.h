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

    // Shows one field of page p's record (the check boxes show the sensors' flags instead).
    void show(int p, const LevelRecord& record, LevelField field);
    // Shows every field.
    void showAll(int p, const LevelRecord& record);

private:
    std::array<LevelPage*, 10> pages_;
    QTreeWidget* list_;
};

} // namespace levelprobe
