#pragma once

#include <QObject>

class QTreeWidget;
class QWidget;

namespace discovery {

// The two sensor lists, one row per address; only the chosen family's list is shown.
class SensorLists final : public QObject {
    Q_OBJECT
public:
    explicit SensorLists(QWidget* parent);

    // Shows the family's list, hides the other, and fills the shown one with its ten rows:
    // the address digit followed by nine blanks, with empty sub-items.
    void showFamily(bool rotary);

    // Blanks the sub-items of a page's row; the address text stays.
    void ClearLevelRow(int page);
    void ClearRotaryRow(int page);
    // Makes a page's row the current one of the list shown.
    void selectRow(int page);

    QTreeWidget* ListView;       // level probes
    QTreeWidget* RotaryListView; // rotary encoders

private:
    bool rotary_ = false;
};

} // namespace discovery
