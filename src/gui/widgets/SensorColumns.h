#pragma once

#include "Controls.h"

#include <QStringList>

namespace widgets {

// The columns of the two sensor lists, one row per address; the last is the log status.
enum class LevelColumn {
    Address,
    SerialNo,
    DensityCorrection,
    LocalGravity,
    Pressure,
    PressureUnits,
    Temperature,
    TemperatureUnits,
    LogStatus,
};
enum class RotaryColumn { Address, SerialNo, Level, Units, PulleyCircum, Direction, LogStatus };

// The column headings, in column order.
QStringList levelColumnTitles();
QStringList rotaryColumnTitles();

// One sub-item of a sensor-list row; a row the list does not have reads as empty and is not
// written.
QString cellText(const QTreeWidget* list, int row, int column);

template <class Column> QString cell(const QTreeWidget* list, int row, Column column) {
    return cellText(list, row, static_cast<int>(column));
}
template <class Column>
void setCell(QTreeWidget* list, int row, Column column, const QString& text) {
    setRowText(list, row, static_cast<int>(column), text);
}

} // namespace widgets
